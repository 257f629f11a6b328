// The textual form format: values, the parsed object tree and the parser.
//
//   object kavri: Tkavri
//     Left = 353
//     Caption = 'kavri'
//     Font.Style = [fsBold]
//     OnCreate = FormCreate
//     object Memo1: TMemo
//       Lines.Strings = (
//         'first line'
//         'it''s the second')
//     end
//     object Store: TStoredThing
//       Data = {0A1B2C}
//     end
//   end
//
// Strings are in single quotes ('' for a quote) and may be joined with + and written with
// #nnn character codes (Unicode code points, stored as UTF-8); integers may be decimal or
// $hex; identifiers are enumeration values, True/False, colour names, component links and
// handler names; [..] is a set, (..) a list, {..} binary data in hex, <item .. end> a
// collection. Identifiers and keywords are compared without regard to case.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sys/Utf8.h"  // AppendUtf8
#include "toolkit/Classes.h"

// Every fault in a form resource: syntax (with its line), unknown classes, properties,
// handlers and components, and values of the wrong kind.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

struct TStreamProperty;

class TStreamValue {
 public:
  enum class Kind { Integer, Float, String, Ident, Set, List, Binary, Collection };

  Kind kind = Kind::Integer;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;  // String and Ident
  std::vector<std::string> set;
  std::vector<TStreamValue> list;
  std::vector<std::uint8_t> binary;
  std::vector<std::vector<TStreamProperty>> items;  // Collection
  int line = 0;

  static TStreamValue Integer(std::int64_t v);
  static TStreamValue String(std::string v);
  static TStreamValue Ident(std::string v);

  // Typed reads; a value of another kind throws EReadError "Invalid property value".
  std::int64_t AsInteger() const;
  int AsInt() const;
  double AsFloat() const;  // an integer is taken too
  const std::string& AsString() const;
  const std::string& AsIdent() const;
  bool AsBool() const;  // True or False
  // An enumeration identifier from a table of (name, value) pairs.
  int AsEnum(std::initializer_list<std::pair<const char*, int>> names) const;
  // A set of identifiers from a table of (name, bit) pairs, as the OR of the bits.
  std::uint32_t AsSet(std::initializer_list<std::pair<const char*, std::uint32_t>> names) const;
  const std::vector<std::string>& AsStringList() const;  // a list of strings
  const std::vector<std::uint8_t>& AsBinary() const;

  // How the value looks in the text, for error messages.
  std::string Describe() const;

 private:
  [[noreturn]] void Invalid() const;
  mutable std::vector<std::string> m_strings;  // AsStringList result
};

struct TStreamProperty {
  std::string name;  // may be dotted: "Font.Name"
  TStreamValue value;
  int line = 0;
};

struct TStreamObject {
  std::string name;
  std::string className;
  std::vector<TStreamProperty> properties;
  std::vector<TStreamObject> children;
  int line = 0;
};

// Parses a whole resource: one top object and nothing after it but white space and
// comments (// to the end of a line). Throws EReadError "Line N: ..." for any fault.
TStreamObject ParseFormText(std::string_view text);

// Bytes as the hex digits of a binary property value (what goes between "{" and "}"),
// broken into lines of 32 bytes, each line starting with `indent`.
std::string BinaryValueText(std::span<const std::uint8_t> bytes, std::string_view indent = "      ");

