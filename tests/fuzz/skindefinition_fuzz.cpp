// Fuzzes the skin definition reader: INI parsing, every record class, FORMINFO completion
// and the dump text built from the records' write operations.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TskSkinData skin;
  try {
    skin.ReadDefinition(SkinIni(SplitSkinLines(text)));
    SkinDumpText(skin);
  } catch (const std::exception&) {
  }
  return 0;
}
