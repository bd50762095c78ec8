// A complete uninstallation driven through the wizard: every kind of record,
// the progress bar, the companion files, pruning, the product's registration
// and the restart list.
#include <gtest/gtest.h>

#include <fstream>

#include "uninstaller_fixture.h"

namespace {

// A window of the test's own that counts the font-change broadcasts it gets.
struct FontChangeListener {
  static inline int count = 0;
  HWND window = nullptr;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_FONTCHANGE) ++count;
    return DefWindowProcA(window, message, wParam, lParam);
  }

  FontChangeListener() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FontChangeListener";
    RegisterClassA(&windowClass);
    window = CreateWindowA("FontChangeListener", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
  }
  ~FontChangeListener() { DestroyWindow(window); }
};

TEST(TypicalRun, ProgressMovesRecordByRecordAndFinishComesLast) {
  RestartListGuard restartList;
  Installation installation;
  // Three shared system files whose counts run out: each stops the removal at
  // its prompt, so the bar can be read at every record.
  std::vector<std::string> records;
  std::vector<std::string> systemFiles;
  for (const char* name : {"a", "b", "c"}) {
    const std::string file = SystemDirectory() + "\\e2e" + installation.Unique() + name + ".dll";
    std::ofstream(file) << "shared";
    SetDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, file, 1);
    systemFiles.push_back(file);
    records.push_back(file);
  }
  installation.WriteLog("Progress Product", installation.ProductKey(), "English", records);
  installation.AddLanguageFile();

  gui::Process process;
  ASSERT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(gui::Text(wizard.sheet), L"Progress Product");
  for (int expected : {25, 50, 75}) {
    HWND prompt = WaitForSystemFilePrompt(process.id);
    ASSERT_NE(prompt, nullptr) << "no prompt at " << expected;
    EXPECT_EQ(wizard.Progress(), expected);
    EXPECT_FALSE(wizard.FinishEnabled());
    EXPECT_FALSE(wizard.SuccessShown());
    gui::PressButton(prompt, kPromptYes);
    ASSERT_TRUE(gui::WaitUntil([&] { return !IsWindow(prompt); }));
  }
  ASSERT_TRUE(gui::WaitUntil([&] { return wizard.SuccessShown(); }));
  EXPECT_EQ(wizard.Progress(), 100);
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  for (const auto& file : systemFiles) {
    EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsKey, file)) << file;
  }
}

TEST(TypicalRun, EveryKindOfRecordIsCarriedOut) {
  RestartListGuard restartList;
  Installation installation;
  const std::string unique = installation.Unique();
  const fs::path dir = installation.Directory();
  installation.AddLanguageFile();
  installation.Register(installation.ProductKey());
  installation.AddFile("unicows.dll");
  const fs::path tool = installation.AddFile("bin\\tool.exe");
  const fs::path guide = installation.AddFile("docs\\en\\guide.txt");
  const fs::path readme = installation.AddFile("docs\\readme.txt");

  // A COM server, registered as its installer would have done.
  const fs::path server = dir / "plugins" / "ext.dll";
  fs::create_directories(server.parent_path());
  fs::copy_file(BuiltFile("sample_com_server.dll"), server);
  {
    HMODULE module = LoadLibraryA(server.string().c_str());
    ASSERT_NE(module, nullptr);
    auto reg = reinterpret_cast<HRESULT(__stdcall*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    ASSERT_EQ(reg(), S_OK);
    FreeLibrary(module);
  }
  const std::string comClass = "Software\\Classes\\CLSID\\{6B1D2C7E-3F4A-4E55-9A0B-5D2E8C1F7A31}";
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, comClass));
  // A library without DllUnregisterServer, which goes all the same.
  const fs::path plain = dir / "plugins" / "plain.dll";
  fs::copy_file(BuiltFile("plain_library.dll"), plain);

  // A font file (any content: its resource may not load) and the broadcast.
  const fs::path font = installation.AddFile("fonts\\e2e.ttf");
  FontChangeListener listener;
  FontChangeListener::count = 0;

  // Registry values below a key of the test's own, which keeps a sentinel.
  const std::string testKey = "Software\\UninstallTests\\E2E" + unique;
  SetStringValue(HKEY_CURRENT_USER, testKey, "sentinel", "1");
  SetStringValue(HKEY_CURRENT_USER, testKey + "\\Vendor\\Product", "Window", "1,2,3,4");

  // A program to run in its own directory.
  const fs::path program = dir / "tools" / "cleanup.exe";
  fs::create_directories(program.parent_path());
  fs::copy_file(BuiltFile("record_program.exe"), program);

  installation.WriteLog("Every Record", installation.ProductKey(), "English",
                        {tool.string(), guide.string(), readme.string(), "%" + server.string(),
                         "%" + plain.string(), "&" + font.string(),
                         ":HKEY_CURRENT_USER\\" + testKey + "\\Vendor\\Product\\Window",
                         ";" + program.string() + " --final 1000", ";", ";"});

  gui::Process process;
  ASSERT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);

  // The program blocks the removal while it runs: the bar stands still and
  // Finish stays disabled.
  const fs::path marker = program.parent_path() / "record_program.txt";
  ASSERT_TRUE(gui::WaitUntil([&] { return fs::exists(marker); }));
  const int progressWhileRunning = wizard.Progress();
  Sleep(400);
  EXPECT_EQ(wizard.Progress(), progressWhileRunning);
  EXPECT_FALSE(wizard.FinishEnabled());
  EXPECT_FALSE(gui::HasExited(process));

  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  EXPECT_EQ(ReadBytes(marker).substr(0, program.parent_path().string().size()),
            program.parent_path().string());

  // Files gone, emptied directories pruned; the tools directory keeps the
  // program's own output and the installation directory the running uninstaller.
  for (const auto& gone : {tool, guide, readme, server, plain, font}) EXPECT_FALSE(fs::exists(gone)) << gone;
  for (const auto& pruned : {dir / "bin", dir / "docs", dir / "plugins", dir / "fonts"}) {
    EXPECT_FALSE(fs::exists(pruned)) << pruned;
  }
  EXPECT_TRUE(fs::exists(marker));
  for (const char* companion : {"lang.ini", "unicows.dll", "uninstall.log"}) {
    EXPECT_FALSE(fs::exists(dir / companion)) << companion;
  }

  // The COM server was unregistered while its file still existed.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, comClass));
  EXPECT_EQ(DwordValue(HKEY_CURRENT_USER, "Software\\UninstallTests\\ComServer", server.string(), 0),
            1u);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\UninstallTests\\ComServer");
  EXPECT_GE(FontChangeListener::count, 1);

  // Registry value deleted and its emptied keys pruned up to the sentinel.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, testKey + "\\Vendor"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, testKey));
  RegDeleteTreeA(HKEY_CURRENT_USER, testKey.c_str());

  // The product's registration: both values deleted, the emptied key pruned.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRoot) + "\\" +
                                                 installation.ProductKey()));

  // The uninstaller and then its directory close the restart list.
  const auto sources = RestartListSources();
  ASSERT_GE(sources.size(), 2u);
  EXPECT_EQ(sources[sources.size() - 2], installation.Uninstaller().string());
  EXPECT_EQ(sources.back(), dir.string() + "\\");
}

}  // namespace
