#pragma once
// Placeholder expansion with the system's answers: the installation's values
// as the caller gives them, the Program Files, system and Windows directories
// from the system.

#include <string_view>

#include "removal/path_placeholders.h"

// The values of the installation that %D, %F, %I and %K stand for.
struct InstallationValues {
  std::string_view installDir;  // with its trailing backslash
  std::string_view productKey;
  bool unattended = false;      // the %A message is not shown
};

// See ExpandPlaceholders; the %A message is shown here, without owner, topmost,
// unless the run is unattended.
// No language file holds the named texts that %L and the %A message take: the
// installer writes only numbered ones. So %L stands for the not-found marker
// "___string not found___", and the %A message shows it as text and caption.
bool ExpandPathPlaceholders(std::string_view input, const InstallationValues& installation,
                            ExpandedPath& expanded);
