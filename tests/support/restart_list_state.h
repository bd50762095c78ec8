#pragma once
// The NT family's restart list (the pending renames value) as the tests read,
// set, save and put back.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr char kPendingRenames[] = "PendingFileRenameOperations";

// The value's bytes as stored, or nothing when it is missing.
inline std::optional<std::string> PendingRenamesData() {
  DWORD size = 0;
  const auto read = [&size](void* data) {
    return RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_ANY, nullptr,
                        data, &size) == ERROR_SUCCESS;
  };
  if (!read(nullptr)) return std::nullopt;
  std::string data(size, '\0');
  read(data.data());
  return data.substr(0, size);
}

using RestartEntries = std::vector<std::pair<std::string, std::string>>;

// A registry value saved in its wide form (exactly as stored) and removed, and
// put back afterwards.
class SavedValue {
 public:
  SavedValue(HKEY root, const wchar_t* key, const wchar_t* name)
      : root_(root), key_(key), name_(name) {
    DWORD size = 0;
    const auto read = [&](void* data) {
      return RegGetValueW(root_, key_, name_, RRF_RT_ANY | RRF_NOEXPAND, &type_, data, &size);
    };
    if (read(nullptr) == ERROR_SUCCESS) read(data_.emplace(size, '\0').data());
    RegDeleteKeyValueW(root_, key_, name_);
  }
  ~SavedValue() {
    RegDeleteKeyValueW(root_, key_, name_);
    if (data_)
      RegSetKeyValueW(root_, key_, name_, type_, data_->data(), static_cast<DWORD>(data_->size()));
  }
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  HKEY root_;
  const wchar_t* key_;
  const wchar_t* name_;
  DWORD type_ = REG_SZ;
  std::optional<std::string> data_;
};

// The pending renames value, saved and removed, and put back afterwards.
struct SavedPendingRenames : SavedValue {
  SavedPendingRenames()
      : SavedValue(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                   L"PendingFileRenameOperations") {}
};
