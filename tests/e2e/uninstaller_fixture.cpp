#include "uninstaller_fixture.h"

#include <cstring>
#include <fstream>
#include <random>

namespace {

constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";

std::string RandomName() {
  std::random_device random;
  return std::to_string(random() % 1000000000u);
}

}  // namespace

fs::path BuiltFile(const std::string& name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  return fs::path(self).parent_path() / name;
}

Installation::Installation(const std::string& uninstallerName)
    : unique_(RandomName()) {
  directory_ = temp_.path() / ("App" + unique_);
  uninstallerName_ = uninstallerName;
  fs::create_directories(directory_);
  fs::copy_file(BuiltFile("uninstall.exe"), Uninstaller());
}

Installation::~Installation() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kUninstallRoot) + "\\" + ProductKey()).c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kUninstallRoot) + "\\App" + unique_).c_str());
}

fs::path Installation::AddFile(const std::string& relative) const {
  const fs::path path = directory_ / relative;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << "content of " << relative;
  return path;
}

void Installation::WriteLog(const std::string& title, const std::string& productKey,
                            const std::string& language,
                            const std::vector<std::string>& records) const {
  std::ofstream log(directory_ / "uninstall.log", std::ios::binary);
  log << title << "\r\n" << productKey << "\r\n" << language << "\r\n";
  for (const auto& record : records) log << record << "\r\n";
}

void Installation::AddLanguageFile() const {
  fs::copy_file(BuiltFile("lang.ini"), directory_ / "lang.ini",
                fs::copy_options::overwrite_existing);
}

void Installation::Register(const std::string& productKey) const {
  const std::string key = std::string(kUninstallRoot) + "\\" + productKey;
  SetStringValue(HKEY_LOCAL_MACHINE, key, "UninstallString", "\"" + Uninstaller().string() + "\"");
  SetStringValue(HKEY_LOCAL_MACHINE, key, "DisplayName", "Test product " + productKey);
}

bool Installation::Start(const std::string& arguments, gui::Process& process) const {
  std::string line = "\"" + Uninstaller().string() + "\"";
  if (!arguments.empty()) line += " " + arguments;
  return gui::Start(line, "", process);
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
  return RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_ANY,
                      nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStringValue(HKEY root, const std::string& key, const std::string& name,
                    const std::string& value) {
  HKEY handle = nullptr;
  RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  RegSetValueExA(handle, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

void SetDwordValue(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  HKEY handle = nullptr;
  RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(handle);
}

DWORD DwordValue(HKEY root, const std::string& key, const std::string& name, DWORD missing) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return missing;
  }
  return value;
}

namespace {
std::string ReadPendingRenames(bool& exists) {
  DWORD size = 0;
  exists = RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ,
                        nullptr, nullptr, &size) == ERROR_SUCCESS;
  if (!exists) return {};
  std::string data(size, '\0');
  RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ, nullptr,
               data.data(), &size);
  data.resize(size);
  return data;
}
}  // namespace

std::vector<std::string> RestartListSources() {
  bool exists = false;
  const std::string data = ReadPendingRenames(exists);
  std::vector<std::string> sources;
  for (std::size_t at = 0; at < data.size() && data[at] != '\0';) {
    std::string source = data.c_str() + at;
    at += source.size() + 1;
    const std::size_t targetLength = at < data.size() ? std::strlen(data.c_str() + at) : 0;
    at += targetLength + 1;
    if (source.rfind("\\??\\", 0) == 0) source = source.substr(4);
    sources.push_back(source);
  }
  return sources;
}

RestartListGuard::RestartListGuard() { saved_ = ReadPendingRenames(existed_); }

RestartListGuard::~RestartListGuard() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  if (existed_) {
    RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(saved_.data()), static_cast<DWORD>(saved_.size()));
  } else {
    RegDeleteValueA(key, kPendingRenames);
  }
  RegCloseKey(key);
}
