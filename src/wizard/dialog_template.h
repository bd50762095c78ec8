#pragma once
// Editing a dialog template in memory, as the property sheet hands it over
// before it creates the sheet.

#include <cstdint>

// Removes DS_CONTEXTHELP from the template's style, so the caption gets no help
// button, and adds WS_VISIBLE, so the sheet shows itself once, when it has
// made its page. Works on both template forms: the extended one (its second
// 16-bit word is 0xFFFF, style at byte 12) and the plain one (style first).
void PrepareSheetStyle(void* dialogTemplate);

inline constexpr std::uint32_t kContextHelpStyle = 0x2000;  // DS_CONTEXTHELP
inline constexpr std::uint32_t kVisibleStyle = 0x10000000;  // WS_VISIBLE
