#include "uninstaller_fixture.h"

#include <fstream>
#include <random>

namespace {


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


DWORD FinishRun(gui::Process& process) {
  const gui::Wizard wizard = gui::WaitForWizard(process.id);
  const DWORD code = wizard.page ? gui::FinishWizard(process, wizard) : STILL_ACTIVE;
  gui::Kill(process);
  return code;
}

DWORD Installation::RunToFinish(const std::string& arguments) const {
  gui::Process process;
  if (!Start(arguments, process)) return 0;
  return FinishRun(process);
}
