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
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_ANY, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string data(size, '\0');
  RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_ANY, nullptr, data.data(),
               &size);
  return data.substr(0, size);
}

inline void SetPendingRenamesData(const std::string& data) {
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, REG_MULTI_SZ, data.data(),
                  static_cast<DWORD>(data.size()));
}

using RestartEntries = std::vector<std::pair<std::string, std::string>>;

// The value's entries (source, target), up to its closing empty string.
inline RestartEntries PendingRenames() {
  RestartEntries entries;
  const std::string data = PendingRenamesData().value_or("");
  for (std::size_t at = 0; at < data.size() && data[at] != '\0';) {
    const std::string source = data.c_str() + at;
    at += source.size() + 1;
    const std::string target = at < data.size() ? data.c_str() + at : "";
    at += target.size() + 1;
    entries.emplace_back(source, target);
  }
  return entries;
}

// The restart list's sources, in order, without their \??\ prefix.
inline std::vector<std::string> RestartListSources() {
  std::vector<std::string> sources;
  for (const auto& [source, target] : PendingRenames()) {
    sources.push_back(source.starts_with("\\??\\") ? source.substr(4) : source);
  }
  return sources;
}

// The pending renames value, saved in its wide form (exactly as stored) and
// removed, and put back afterwards.
class SavedPendingRenames {
 public:
  SavedPendingRenames() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_ANY, &type_, nullptr, &size) == ERROR_SUCCESS) {
      data_.emplace(size, '\0');
      RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_ANY, &type_, data_->data(), &size);
    }
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue);
  }
  ~SavedPendingRenames() {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue);
    if (data_) {
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, kValue, type_, data_->data(), static_cast<DWORD>(data_->size()));
    }
  }
  SavedPendingRenames(const SavedPendingRenames&) = delete;
  SavedPendingRenames& operator=(const SavedPendingRenames&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  static constexpr wchar_t kValue[] = L"PendingFileRenameOperations";
  DWORD type_ = REG_MULTI_SZ;
  std::optional<std::string> data_;
};

// The scenarios' name for it: each starts from an empty list and leaves the one it found.
using RestartListGuard = SavedPendingRenames;
