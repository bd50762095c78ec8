#pragma once
// The product's registration under the system's Uninstall key.

#include <windows.h>

#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "control/command_line.h"

inline constexpr std::string_view kUninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Removes the product's UninstallString and DisplayName. ERROR_SUCCESS, or the
// system's code when the registration is still there and cannot be removed.
DWORD RemoveRegistrationValues(std::string_view productKey);

// What became of a registration offered for removal without a log.
struct KeyRemoval {
  enum class Outcome { kNoKeyName, kForeign, kRemoved, kFailed };
  Outcome outcome = Outcome::kNoKeyName;
  BoundedString<kLongCapacity> key;  // the registry path of the registration
  LSTATUS error = ERROR_SUCCESS;
};

// Removes the registration named by -U, else by the installation directory's
// last component, with its subtree, but only when it is this installation's:
// its UninstallString or QuietUninstallString names this program or a file in
// the installation directory, or it has neither. A name shared by products
// installed elsewhere (a vendor's folder, a generic name) leaves theirs alone.
KeyRemoval RemoveOwnRegistration(const CommandLineValues& commandLine);
