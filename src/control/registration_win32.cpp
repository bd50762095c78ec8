#include "control/registration_win32.h"

#include "common/path_parts.h"
#include "control/file_identity_win32.h"
#include "registry/registry_access.h"
#include "removal/program_launch.h"
#include "removal/program_launch_win32.h"

namespace {

// The values through which deployment tools and the system start an uninstaller.
constexpr std::string_view kCommandValueNames[] = {"\\UninstallString",
                                                   "\\QuietUninstallString"};
// A command value that does not fit is read as naming nothing of ours.
constexpr std::size_t kCommandCapacity = 1024;

using CommandText = BoundedString<kCommandCapacity>;

bool IsOurs(std::string_view path, const CommandLineValues& commandLine) {
  return SameLocation(path, commandLine.programPath.view()) ||
         SameLocation(DirectoryOf(path), commandLine.installDir.view());
}

// A quoted program is the text in quotes. An unquoted one is the program the
// system would start; one that names no file is no program of ours.
bool NamesThisInstallation(std::string_view command, const CommandLineValues& commandLine) {
  while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
  if (command.starts_with('"')) return IsOurs(QuotedProgram(command), commandLine);
  BoundedString<kPathCapacity> program;
  return FindProgramFile(command, ProgramFileExists, program) && IsOurs(program.view(), commandLine);
}

bool BelongsToThisInstallation(std::string_view key, const CommandLineValues& commandLine) {
  bool named = false;
  for (const std::string_view valueName : kCommandValueNames) {
    BoundedString<kLongCapacity> path;
    if (!path.Assign(key) || !path.Append(valueName)) return false;
    if (!RegistryAccess::RegistryValueExists(path.view())) continue;
    named = true;
    CommandText command;
    const std::size_t bytes = RegistryAccess::ReadRegistryValue(path.view(), command.Buffer(),
                                                                kCommandCapacity - 1);
    if (bytes == 0) continue;
    command.Buffer()[bytes] = 0;
    command.SyncLength();
    if (NamesThisInstallation(command.view(), commandLine)) return true;
  }
  return !named;
}

}  // namespace

DWORD RemoveRegistrationValues(std::string_view productKey) {
  BoundedString<kLongCapacity> path;
  path.Assign(kUninstallKey);
  path.Append(productKey);
  const std::size_t keyLength = path.size();
  path.Append("\\UninstallString");
  const DWORD error = RegistryAccess::DeleteRegistryValueAt(path.view());
  if (error != ERROR_SUCCESS && RegistryAccess::RegistryValueExists(path.view())) return error;
  path.Truncate(keyLength);
  path.Append("\\DisplayName");
  // Without its UninstallString the entry offers no uninstallation any more: a
  // name left behind is not a reason to stop.
  RegistryAccess::DeleteRegistryValueAt(path.view());
  return ERROR_SUCCESS;
}

KeyRemoval RemoveOwnRegistration(const CommandLineValues& commandLine) {
  KeyRemoval removal;
  const auto name = UninstallKeyNameForMissingLog(commandLine.installDir.view(),
                                                  commandLine.switchString.view());
  if (name.empty() || !removal.key.Assign(kUninstallKey) || !removal.key.Append(name.view())) {
    return removal;
  }
  if (!BelongsToThisInstallation(removal.key.view(), commandLine)) {
    removal.outcome = KeyRemoval::Outcome::kForeign;
    return removal;
  }
  removal.error = RegistryAccess::DeleteRegistryKey(removal.key.view());
  removal.outcome = removal.error == ERROR_SUCCESS ? KeyRemoval::Outcome::kRemoved
                                                   : KeyRemoval::Outcome::kFailed;
  return removal;
}
