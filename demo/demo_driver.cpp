// The demo: lays out an example installation in this Windows (files in nested
// directories, a shared DLL in the system directory with a SharedDLLs count,
// registry values, a system.ini entry, a font, a COM server, a program to run,
// uninstall.log and lang.ini), runs its uninstall.exe and drives the wizard as a
// person would, saves screenshots, and reports what was removed and what waits
// on the restart list.
//   demo_driver.exe SOURCE_DIR OUTPUT_DIR
// SOURCE_DIR holds uninstall.exe, lang.ini, sample_com_server.dll,
// record_program.exe and a .ttf font; OUTPUT_DIR receives the screenshots.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui_driver.h"
#include "uninstaller_windows.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SampleTool";
constexpr char kSettingsKey[] = "Software\\Sample Vendor\\Sample Tool\\Settings";
constexpr char kComClassKey[] =
    "Software\\Classes\\CLSID\\{6B1D2C7E-3F4A-4E55-9A0B-5D2E8C1F7A31}";

std::string SystemDirectory() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, sizeof path);
  return path;
}
std::string ProgramFilesDirectory() {
  char path[MAX_PATH] = "C:\\Program Files";
  GetEnvironmentVariableA("ProgramFiles", path, sizeof path);
  return path;
}
std::string WindowsDirectory() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, sizeof path);
  return path;
}

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

void SetString(HKEY root, const char* key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}
void SetDword(HKEY root, const char* key, const std::string& name, DWORD value) {
  HKEY handle = nullptr;
  RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(handle);
}
bool ValueExists(HKEY root, const char* key, const std::string& name) {
  return RegGetValueA(root, key, name.empty() ? nullptr : name.c_str(), RRF_RT_ANY, nullptr,
                      nullptr, nullptr) == ERROR_SUCCESS;
}
bool KeyExists(HKEY root, const char* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::vector<std::string> RestartList() {
  std::vector<std::string> entries;
  DWORD size = 0;
  const char* key = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                   nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return entries;
  }
  std::string data(size, '\0');
  RegGetValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
               nullptr, data.data(), &size);
  for (std::size_t at = 0; at < data.size() && data[at] != '\0';) {
    const std::string source = data.c_str() + at;
    at += source.size() + 1;
    const std::string target = at < data.size() ? data.c_str() + at : "";
    at += target.size() + 1;
    entries.push_back(source + (target.empty() ? "  (delete)" : "  -> " + target));
  }
  return entries;
}

// Saves what the window shows on the screen as a 24-bit BMP.
bool SaveScreenshot(HWND window, const fs::path& file) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((width * 3) + 3) & ~3u;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + stride * height;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), stride * height);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out.good();
}

struct Installation {
  fs::path root;  // the installation directory
  std::string sharedDll, font, comServer, program;
  std::vector<fs::path> files;
};

Installation LayOut(const fs::path& source) {
  Installation in;
  in.root = fs::path(ProgramFilesDirectory()) / "Sample Tool";
  fs::remove_all(in.root);
  fs::create_directories(in.root / "docs" / "en");
  fs::create_directories(in.root / "plugins");
  in.files = {in.root / "sample.exe", in.root / "readme.txt", in.root / "docs" / "manual.txt",
              in.root / "docs" / "en" / "guide.txt", in.root / "plugins" / "export.dat"};
  for (const auto& file : in.files) WriteText(file, "Sample Tool file " + file.filename().string());
  fs::copy_file(source / "uninstall.exe", in.root / "uninstall.exe");
  fs::copy_file(source / "lang.ini", in.root / "lang.ini");
  in.comServer = (in.root / "plugins" / "sampleext.dll").string();
  fs::copy_file(source / "sample_com_server.dll", in.comServer);
  in.program = (in.root / "cleanup.exe").string();
  fs::copy_file(source / "record_program.exe", in.program);

  in.sharedDll = SystemDirectory() + "\\samplert.dll";
  WriteText(in.sharedDll, "shared runtime");
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, in.sharedDll, 1);

  in.font = WindowsDirectory() + "\\Fonts\\samplefont.ttf";
  for (const auto& entry : fs::directory_iterator(source)) {
    if (entry.path().extension() == ".ttf") {
      fs::copy_file(entry.path(), in.font, fs::copy_options::overwrite_existing);
      break;
    }
  }
  AddFontResourceA(in.font.c_str());

  SetString(HKEY_CURRENT_USER, kSettingsKey, "Window", "100,100,640,480");
  SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Sample Tool 2.1");
  SetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString",
            "\"" + (in.root / "uninstall.exe").string() + "\"");
  WritePrivateProfileStringA("boot", "sample.drv", "samplevid.drv",
                             (WindowsDirectory() + "\\system.ini").c_str());

  using RegisterFunction = HRESULT(__stdcall*)();
  if (HMODULE dll = LoadLibraryA(in.comServer.c_str())) {
    if (auto reg = reinterpret_cast<RegisterFunction>(
            reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")))) {
      reg();
    }
    FreeLibrary(dll);
  }

  std::string log = "Sample Tool 2.1\r\nSampleTool\r\nEnglish\r\n";
  for (const auto& file : in.files) log += file.string() + "\r\n";
  log += "%" + in.comServer + "\r\n";
  log += "&" + in.font + "\r\n";
  log += in.sharedDll + "\r\n";
  log += ":HKEY_CURRENT_USER\\" + std::string(kSettingsKey) + "\\Window\r\n";
  log += "-boot\\sample.drv\r\nsamplevid.drv\r\n";
  // The program waits a little, so the wizard can be seen at work; then it
  // goes, with what it wrote.
  log += ";" + in.program + " --final-cleanup 1500\r\n;\r\n;\r\n";
  log += in.program + "\r\n";
  log += (in.root / "record_program.txt").string() + "\r\n";
  WriteText(in.root / "uninstall.log", log);
  return in;
}

std::string Presence(bool present) { return present ? "present" : "gone"; }

void Report(const char* title, const Installation& in) {
  std::printf("\n== %s ==\n", title);
  for (const auto& file : in.files) {
    std::printf("  %-60s %s\n", file.string().c_str(), Presence(fs::exists(file)).c_str());
  }
  for (const std::string& file : {in.comServer, in.font, in.sharedDll, in.program,
                                  (in.root / "uninstall.log").string(),
                                  (in.root / "lang.ini").string(),
                                  (in.root / "uninstall.exe").string()}) {
    std::printf("  %-60s %s\n", file.c_str(), Presence(fs::exists(file)).c_str());
  }
  std::printf("  %-60s %s\n", in.root.string().c_str(), Presence(fs::exists(in.root)).c_str());
  std::printf("  %-60s %s\n", "HKCU\\Software\\Sample Vendor",
              Presence(KeyExists(HKEY_CURRENT_USER, "Software\\Sample Vendor")).c_str());
  std::printf("  %-60s %s\n", "HKLM\\...\\Uninstall\\SampleTool",
              Presence(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)).c_str());
  std::printf("  %-60s %s\n", "SharedDLLs count of samplert.dll",
              Presence(ValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, in.sharedDll)).c_str());
  std::printf("  %-60s %s\n", "COM class {6B1D2C7E-...}",
              Presence(KeyExists(HKEY_CURRENT_USER, kComClassKey)).c_str());
  char value[64] = {};
  GetPrivateProfileStringA("boot", "sample.drv", "", value, sizeof value,
                           (WindowsDirectory() + "\\system.ini").c_str());
  std::printf("  %-60s %s\n", "system.ini [boot] sample.drv=samplevid.drv",
              Presence(value[0] != '\0').c_str());
  std::printf("  restart list:\n");
  for (const auto& entry : RestartList()) std::printf("    %s\n", entry.c_str());
}

// The wizard once more, finished, on a display at 150 % (144 DPI, which Wine
// gives each new process from LogPixels), for a screenshot beside the others.
void ShowAt150Percent(const fs::path& source, const fs::path& output) {
  const char* desktop = "Control Panel\\Desktop";
  SetDword(HKEY_CURRENT_USER, desktop, "LogPixels", 144);
  const fs::path root = fs::path(ProgramFilesDirectory()) / "Sample Tool 150";
  fs::remove_all(root);
  WriteText(root / "readme.txt", "Sample Tool file readme.txt");
  fs::copy_file(source / "uninstall.exe", root / "uninstall.exe");
  fs::copy_file(source / "lang.ini", root / "lang.ini");
  WriteText(root / "uninstall.log", "Sample Tool 2.1\r\nSampleTool\r\nEnglish\r\n" +
                                        (root / "readme.txt").string() + "\r\n");
  gui::Process process;
  if (gui::Start("\"" + (root / "uninstall.exe").string() + "\" -C", "", process)) {
    const gui::Wizard wizard = gui::WaitForWizard(process.id);
    if (wizard.page &&
        gui::WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); })) {
      Sleep(300);
      SaveScreenshot(wizard.sheet, output / "wizard-finished-150.bmp");
      std::printf("\n== at 150 %% (144 DPI) ==\n  wizard finished, exit code %lu\n",
                  gui::FinishWizard(process, wizard));
    }
    gui::Kill(process);
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, desktop, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "LogPixels");
    RegCloseKey(key);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: demo_driver SOURCE_DIR OUTPUT_DIR\n");
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path output = argv[2];
  fs::create_directories(output);
  const Installation in = LayOut(source);
  Report("before", in);

  gui::Process process;
  if (!gui::Start("\"" + (in.root / "uninstall.exe").string() + "\" \"" + in.root.string() + "\"",
                  "", process)) {
    std::fprintf(stderr, "demo: uninstall.exe did not start\n");
    return 1;
  }
  std::printf("\n== uninstalling ==\n");
  const auto confirmation = gui::AnswerMessageBox(process.id, IDYES);
  std::printf("  confirmation \"%ls\": %ls -> Yes\n", confirmation.caption.c_str(),
              confirmation.text.c_str());
  const gui::Wizard wizard = gui::WaitForWizard(process.id);
  if (!wizard.page) {
    std::fprintf(stderr, "demo: the wizard did not appear\n");
    gui::Kill(process);
    return 1;
  }
  // The prompt for the shared system file stops the removal half-way.
  if (HWND prompt = gui::WaitForSystemFilePrompt(process.id)) {
    Sleep(300);
    SaveScreenshot(wizard.sheet, output / "wizard-prompt.bmp");
    std::printf("  wizard \"%ls\" at %d%%, Finish %s\n", gui::Text(wizard.sheet).c_str(),
                wizard.Progress(), wizard.FinishEnabled() ? "enabled" : "disabled");
    std::printf("  system-file prompt \"%ls\": %ls -> Yes\n", gui::Text(prompt).c_str(),
                gui::ControlText(prompt, IDC_PROMPT_QUESTION).c_str());
    gui::PressButton(prompt, IDC_PROMPT_YES);
  }
  // The program record holds the removal while the program runs.
  if (gui::WaitUntil([&] { return fs::exists(in.root / "record_program.txt"); })) {
    Sleep(300);
    SaveScreenshot(wizard.sheet, output / "wizard-working.bmp");
    std::printf("  running %s: progress %d%%, Finish %s\n", in.program.c_str(), wizard.Progress(),
                wizard.FinishEnabled() ? "enabled" : "disabled");
  }
  if (!gui::WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); }, 60000)) {
    std::fprintf(stderr, "demo: the wizard did not finish\n");
    gui::Kill(process);
    return 1;
  }
  Sleep(300);
  SaveScreenshot(wizard.sheet, output / "wizard-finished.bmp");
  std::printf("  progress %d%%, \"%ls\", Finish enabled\n", wizard.Progress(),
              gui::ControlText(wizard.page, IDC_PAGE_SUCCESS).c_str());
  std::printf("  uninstall.exe ended with exit code %lu\n", gui::FinishWizard(process, wizard));
  Report("after", in);
  ShowAt150Percent(source, output);
  return 0;
}
