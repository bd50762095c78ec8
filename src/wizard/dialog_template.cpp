#include "wizard/dialog_template.h"

#include <cstring>

void ClearContextHelpStyle(void* dialogTemplate) {
  auto* bytes = static_cast<unsigned char*>(dialogTemplate);
  std::uint16_t signature;
  std::memcpy(&signature, bytes + 2, sizeof signature);
  const std::size_t styleOffset = signature == 0xFFFF ? 12 : 0;
  std::uint32_t style;
  std::memcpy(&style, bytes + styleOffset, sizeof style);
  style &= ~kContextHelpStyle;
  std::memcpy(bytes + styleOffset, &style, sizeof style);
}
