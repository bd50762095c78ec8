#include "wizard/dialog_template.h"

#include <cstddef>
#include <cstring>

namespace {

// An extended template has this as its second 16-bit word and its style at
// byte 12; a plain template begins with its style.
constexpr std::size_t kSignatureOffset = 2;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::size_t kExtendedStyleOffset = 12;

}  // namespace

void PrepareSheetStyle(void* dialogTemplate) {
  auto* bytes = static_cast<unsigned char*>(dialogTemplate);
  std::uint16_t signature;
  std::memcpy(&signature, bytes + kSignatureOffset, sizeof signature);
  const std::size_t styleOffset = signature == kExtendedSignature ? kExtendedStyleOffset : 0;
  std::uint32_t style;
  std::memcpy(&style, bytes + styleOffset, sizeof style);
  style = (style & ~kContextHelpStyle) | kVisibleStyle;
  std::memcpy(bytes + styleOffset, &style, sizeof style);
}
