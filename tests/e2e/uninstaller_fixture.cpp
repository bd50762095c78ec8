#include "uninstaller_fixture.h"

std::filesystem::path BuiltUninstaller() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  return std::filesystem::path(self).parent_path() / "uninstall.exe";
}

Installation::Installation() : directory_(temp_.path() / "App") {
  std::filesystem::create_directories(directory_);
  std::filesystem::copy_file(BuiltUninstaller(), Uninstaller());
}

bool Installation::Start(const std::string& arguments, gui::Process& process) const {
  std::string line = "\"" + Uninstaller().string() + "\"";
  if (!arguments.empty()) line += " " + arguments;
  return gui::Start(line, "", process);
}
