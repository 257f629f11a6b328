// libFuzzer entry point for the page view's layout: any bytes are read as a page, laid out
// 320 pixels wide and drawn; nothing may crash or read out of bounds.
#include <cstdint>
#include <string_view>

#include "platform/gfx/DC.h"
#include "platform/web/Charset.h"
#include "platform/web/PageDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  PageDocument doc;
  doc.Load(PageTextToUtf8(bytes, ""), "file:///nonexistent/fuzz.html");
  doc.Layout(320, {320, 240});
  Bitmap target(320, 240);
  DC dc(target);
  doc.Draw(dc, {0, 0}, target.Bounds());
  return 0;
}
