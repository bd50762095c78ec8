#pragma once
// Placeholder expansion with the system's answers: the installation's values
// from gProgram, the Program Files, system and Windows directories from the
// system, and the localized texts from the language file.

#include <cstddef>
#include <string_view>

#include "control/path_placeholders.h"

// The language file's lookups that %L and the %A message need. The
// localization subsystem installs them at start-up, once the language is
// chosen; until then %L stands for nothing and the %A message has no text.
struct PlaceholderTextSource {
  // The current language's "reglang" value, ANSI; returns the bytes written,
  // terminator included.
  std::size_t (*reglangValue)(char* destination, std::size_t capacity) = nullptr;
  // A named text of the current language, UTF-16, in at most `capacity`
  // characters, terminator included.
  void (*namedString)(const char* name, std::size_t capacity, char16_t* destination) = nullptr;
};
void SetPlaceholderTextSource(const PlaceholderTextSource& source);

// See ExpandPlaceholders; the %A message is shown here, without owner, topmost.
bool ExpandPathPlaceholders(std::string_view input, ExpandedPath& expanded);
