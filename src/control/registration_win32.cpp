#include "control/registration_win32.h"

#include "common/path_parts.h"
#include "control/file_identity_win32.h"
#include "registry/registry_access.h"

namespace {

// The values through which deployment tools and the system start an uninstaller.
constexpr std::string_view kCommandValueNames[] = {"\\UninstallString",
                                                   "\\QuietUninstallString"};
// A command value that does not fit is read as naming nothing of ours.
constexpr std::size_t kCommandCapacity = 1024;
constexpr std::string_view kProgramExtension = ".exe";

using CommandText = BoundedString<kCommandCapacity>;

bool IsOurs(std::string_view path, const CommandLineValues& commandLine) {
  return SameLocation(path, commandLine.programPath.view()) ||
         SameLocation(DirectoryOf(path), commandLine.installDir.view());
}

// An existing file, named as written or, as the system starts a program, with
// ".exe" added.
bool NamesExistingFile(std::string_view path) {
  CommandText name;
  for (const std::string_view extension : {std::string_view{}, kProgramExtension}) {
    if (!name.Assign(path) || !name.Append(extension)) return false;
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return true;
    }
  }
  return false;
}

// A quoted program is the text in quotes. An unquoted one is the longest part
// up to a blank that names an existing file, as the system would start it; one
// that names none is no program of ours.
bool NamesThisInstallation(std::string_view command, const CommandLineValues& commandLine) {
  while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
  if (!command.empty() && command.front() == '"') {
    command.remove_prefix(1);
    return IsOurs(command.substr(0, command.find('"')), commandLine);
  }
  for (std::size_t end = command.size(); end != 0 && end != std::string_view::npos;
       end = command.rfind(' ', end - 1)) {
    const std::string_view part = command.substr(0, end);
    if (NamesExistingFile(part)) return IsOurs(part, commandLine);
  }
  return false;
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
