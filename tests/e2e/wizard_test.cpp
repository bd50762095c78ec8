// The uninstaller as a person meets it: the confirmation, the language choice,
// the wizard that cannot be cancelled, the shared system file prompts, the
// missing log, a network installation, the crash report, and a run ended from
// outside that the next run completes.
#include "uninstaller_fixture.h"

#include <fstream>
#include <sstream>

#include "support/windows_text.h"

namespace {

// The log names no language: the user chooses one, then confirms. Cancel at the
// choice and No at the confirmation change nothing; -c (any case) asks no
// confirmation, and the wizard speaks the language chosen.
TEST(Wizard, TheLanguageChoiceAndTheConfirmationComeFirst) {
  const Scenario s;
  const fs::path file = s.Add("@App\\bin\\tool.exe");
  s.Log({file.string()}, "");
  const Listing before = s.List();
  Process process;
  const auto choose = [&](const char* arguments, int button, const wchar_t* language) {
    ASSERT_TRUE(s.Start(process, arguments));
    const HWND choice = WaitForWindowWith(process.id, kLanguageList);
    ASSERT_NE(choice, nullptr);
    if (language) {
      const HWND list = Control(choice, kLanguageList);
      const auto item = SendMessageW(list, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(language));
      ASSERT_NE(SendMessageW(list, CB_SETCURSEL, item, 0), CB_ERR);
    }
    PressButton(choice, button);
  };
  choose("", IDCANCEL, nullptr);
  EXPECT_EQ(WaitForExit(process), 1u);
  choose("", IDOK, nullptr);
  const MessageBoxInfo box = AnswerMessageBox(process.id, IDNO);
  EXPECT_EQ(box.caption, L"Uninstall");
  EXPECT_EQ(box.text,
            L"Are you sure you want to completely remove 'Test Tool' and all of its components?");
  EXPECT_EQ(WaitForExit(process), 1u);
  EXPECT_TRUE(ChangedExactly(before, s.List(), {}));

  choose("-c", IDOK, L"Deutsch");
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(Text(wizard.sheet), L"Test Tool");
  EXPECT_EQ(ControlText(wizard.page, kPageHeading), L"Programme von Ihrem Computer entfernen.");
  EXPECT_EQ(ControlText(wizard.sheet, kWizardFinish), L"Fertig stellen");
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  EXPECT_FALSE(fs::exists(file));
}

// Shared files in the system directory: the count goes down before anybody is
// asked, the prompt comes only when no reference is left, "to all" answers hold
// for the rest of the run, and an unattended run keeps the file. Meanwhile the
// bar moves record by record and Cancel, Escape and the close box do nothing;
// Finish comes last, after everything else, with the success line shown.
TEST(Wizard, SharedSystemFilesAreAskedAboutAndOnlyFinishEndsTheWizard) {
  const Scenario s;
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  std::map<std::string, std::string> files;
  for (const auto& [name, count] : std::map<std::string, int>{
           {"still", 3}, {"yes", 1}, {"uncounted", -1}, {"no", 1}, {"all", 1}, {"after", 1},
           {"nos", 1}, {"nos2", 1}, {"silent", 1}, {"sub\\x", 5}}) {
    files[name] = std::string(system) + "\\e2e" + s.unique + name + ".dll";
    fs::create_directories(fs::path(files[name]).parent_path());
    std::ofstream(files[name]) << "shared";
    const DWORD value = count;
    if (count >= 0) {
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, files[name].c_str(), REG_DWORD, &value, 4);
    }
  }
  const auto count = [&](const char* name) {
    return DwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, files[name]);
  };
  Process process;
  int progress = 0;
  const auto answer = [&](const char* name, int button) {
    const HWND prompt = WaitForSystemFilePrompt(process.id);
    ASSERT_NE(prompt, nullptr) << name;
    const std::string file = fs::path(files[name]).filename().string();
    EXPECT_EQ(Text(prompt), std::wstring(file.begin(), file.end()));
    // The bar moves record by record.
    EXPECT_GT(WaitForWizard(process.id).Progress(), progress);
    progress = WaitForWizard(process.id).Progress();
    EXPECT_FALSE(WaitForWizard(process.id).FinishEnabled());
    PressButton(prompt, button);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
  };
  s.Log({files["still"], files["sub\\x"], files["yes"], files["uncounted"], files["no"],
         files["all"], files["after"]});
  ASSERT_TRUE(s.Start(process));
  const Wizard wizard = WaitForWizard(process.id);
  const HWND prompt = WaitForSystemFilePrompt(process.id);
  ASSERT_NE(prompt, nullptr);
  // The first file's count went down unasked; one below the system directory is no shared file.
  EXPECT_EQ(count("still"), 2u);
  EXPECT_FALSE(fs::exists(files["sub\\x"]));
  EXPECT_EQ(count("sub\\x"), 5u);
  EXPECT_EQ(count("yes"), ~0u);
  EXPECT_EQ(ControlText(wizard.page, kPageDescription),
            L"Uninstallation Wizard will remove the software 'Test Tool' from your computer.");
  EXPECT_EQ(ControlText(prompt, kPromptYes), L"Yes");
  EXPECT_EQ(ControlText(prompt, kPromptNoToAll), L"No to all");
  EXPECT_EQ(ControlText(prompt, kPromptQuestion).substr(0, 39),
            L"Would you like to delete a system file?");
  for (const HWND window : {prompt, wizard.sheet}) {
    Close(window);
    SendCommand(window, IDCANCEL);
    EXPECT_TRUE(IsWindow(window));
  }
  answer("yes", kPromptYes);
  answer("uncounted", kPromptYes);
  answer("no", kPromptNo);
  answer("all", kPromptYesToAll);
  bool successShown = false;
  ASSERT_TRUE(WaitUntil([&] {
    successShown = wizard.SuccessShown();  // read before Finish is seen: it must stand already
    return wizard.FinishEnabled();
  }));
  EXPECT_TRUE(successShown);
  EXPECT_EQ(wizard.Progress(), 100);
  Close(wizard.sheet);
  SendCommand(wizard.sheet, IDCANCEL);
  EXPECT_TRUE(IsWindow(wizard.sheet));
  PressButton(wizard.sheet, kWizardFinish);
  EXPECT_EQ(WaitForExit(process), 1u);
  const std::vector<std::string> restart = {"App\\unicows.dll", "App\\uninstall.exe", "App\\"};
  EXPECT_EQ(s.RestartEntries(), restart);
  for (const char* gone : {"yes", "uncounted", "all", "after"}) EXPECT_FALSE(fs::exists(files[gone]));
  EXPECT_TRUE(fs::exists(files["no"]));
  EXPECT_EQ(count("no"), ~0u);

  s.Log({files["nos"], files["nos2"]});
  ASSERT_TRUE(s.Start(process));
  progress = 0;
  answer("nos", kPromptNoToAll);
  EXPECT_EQ(FinishWizard(process, WaitForWizard(process.id)), 1u);
  s.Log({files["silent"]});
  EXPECT_EQ(s.Unattended("-S"), "exit 0");
  for (const char* kept : {"no", "nos", "nos2", "silent"}) {
    EXPECT_TRUE(fs::exists(files[kept])) << kept;
    EXPECT_EQ(count(kept), ~0u) << kept;
  }
  for (const auto& [name, path] : files) {
    DeleteFileA(path.c_str());
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, path.c_str());
  }
  fs::remove(fs::path(files["sub\\x"]).parent_path());
}

// Without the log the uninstaller offers to remove the registration named by
// -U, upper-cased, or else by the installation directory's name, if that names
// one key.
TEST(Wizard, AMissingLogOffersToRemoveTheRegistration) {
  const Scenario s;
  const std::string named = "E2EKEY" + s.unique;
  using Run = std::tuple<std::string, int, std::string, bool>;  // arguments, answer, key, removed
  for (const auto& [arguments, answer, name, removed] :
       {Run{"-U" + named, IDNO, named, false}, Run{"-U\\", IDYES, "App", false},
        Run{"-U", IDYES, "App", false}, Run{"-UA\\B", IDYES, "App", false},
        Run{"-Ue2ekey" + s.unique, IDYES, named, true}, Run{"", IDYES, "App", true}}) {
    SCOPED_TRACE(arguments);
    const std::string key = std::string(kUninstallRoot) + "\\" + name;
    SetString(HKEY_LOCAL_MACHINE, key + "\\Extra", "v", "1");
    Process process;
    ASSERT_TRUE(s.Start(process, arguments));
    const MessageBoxInfo box = AnswerMessageBox(process.id, answer);
    EXPECT_EQ(box.caption, L"Uninstall");
    EXPECT_EQ(box.text, L"Unable to find the installation log file '" +
                            (s.dir / "uninstall.log").wstring() +
                            L"'. Uninstallation can not continue.\nRemove uninstallation option?");
    EXPECT_EQ(WaitForExit(process), 1u);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, key + "\\Extra"), !removed);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallRoot));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  }
}

// Wine serves \\localhost\<name> from dosdevices\unc\localhost\<name> in its
// prefix. The directory's percent sign is no placeholder; the share's root is
// no directory to prune.
TEST(Wizard, AnInstallationOnANetworkPathIsFoundAndRemoved) {
  const Scenario s;
  char prefix[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (length == 0 || length >= sizeof prefix) GTEST_SKIP() << "the share is served by Wine's prefix";
  const std::string name = "e2e" + s.unique;
  const fs::path share = fs::path("Z:" + std::string(prefix)) / "dosdevices\\unc\\localhost" / name;
  const std::string directory = "\\\\localhost\\" + name + "\\Tool%W";
  fs::create_directories(share / "Tool%W" / "bin");
  std::ofstream(share / "Tool%W" / "bin" / "tool.exe") << "tool";
  fs::copy_file(BuiltFile("lang.ini"), share / "Tool%W" / "lang.ini");
  std::ofstream(share / "Tool%W" / "uninstall.log", std::ios::binary)
      << "Network Tool\r\n" << s.product << "\r\nEnglish\r\n" << directory << "\\bin\\tool.exe\r\n";
  EXPECT_EQ(s.Finish("\"" + directory + "\" -C"), 1u);
  EXPECT_FALSE(fs::exists(share / "Tool%W"));
  EXPECT_TRUE(fs::exists(share));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, s.registration));
  fs::remove_all(share);
}

// A COM server faults while it is unregistered: the report goes to the current
// directory (replacing an earlier one), to the clipboard and into a box; after
// OK the process ends. With uninstall.dbg beside it, the trace names the
// uninstaller's own functions.
TEST(Wizard, AFaultingComServerIsReportedWithATraceAndTheProcessEnds) {
  const Scenario s;
  fs::copy_file(BuiltFile("faulting_com_server.dll"), s.dir / "faulting_com_server.dll");
  fs::copy_file(BuiltFile("uninstall.dbg"), s.dir / "uninstall.dbg");
  s.Log({"%@App\\faulting_com_server.dll"});
  std::ofstream(s.work / "lastcrash.txt") << std::string(20000, 'x');
  Process process;
  ASSERT_TRUE(s.Start(process));
  const MessageBoxInfo box = WaitForMessageBox(process.id);
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.caption, L"ZR exception handler");
  const std::string clipboard = ClipboardText();
  const std::string report = ReadTextModeFile(s.work / "lastcrash.txt");
  PressButton(box.window, IDOK);
  EXPECT_EQ(WaitForExit(process), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(report, clipboard);
  EXPECT_EQ(box.text, std::wstring(report.begin(), report.end()));
  std::istringstream lines(report);
  std::string header;
  std::getline(lines, header);
  const std::string codeSegment = sizeof(void*) == 8 ? "0033" : "0023";
  EXPECT_TRUE(header.starts_with("uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module "
                                 "faulting_com_server.dll at " + codeSegment + ":"))
      << header;
  EXPECT_NE(header.find(", DllUnregisterServer"), std::string::npos) << header;
  EXPECT_NE(report.find("\nCS=" + codeSegment + " "), std::string::npos) << report;
  // From the fault through the uninstaller's own frames. Only RemoveFile's
  // source line is checked: for code inlined from a header Wine names a wrong file.
  const std::string trace(std::istreambuf_iterator<char>(lines), {});
  EXPECT_NE(trace.find(" faulting_com_server.dll, DllUnregisterServer"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" uninstall.exe, UnregisterComServer"), std::string::npos) << trace;
  const std::size_t removeFile = trace.find(" uninstall.exe, RemovalWorker::RemoveFile()+");
  ASSERT_NE(removeFile, std::string::npos) << trace;
  EXPECT_NE(trace.substr(removeFile, trace.find('\n', removeFile) - removeFile).find(".cpp, line "),
            std::string::npos)
      << trace;
  EXPECT_NE(trace.find(" uninstall.exe, RemovalWorker::Run()+"), std::string::npos) << trace;
}

// Ended from outside while a program of the log runs, then started again: the
// second run completes; what the first removed is not removed again in a way
// that harms anything.
TEST(Wizard, ARunEndedWhileAProgramRunsIsCompletedByTheNextRun) {
  const Scenario s;
  for (const char* file : {"@App\\bin\\a.exe", "@App\\bin\\b.dll", "@App\\share\\c.dat"}) s.Add(file);
  fs::create_directories(s.dir / "tools");
  fs::copy_file(BuiltFile("record_program.exe"), s.dir / "tools" / "interrupted.exe");
  SetString(HKEY_CURRENT_USER, s.key + "\\Settings", "Window", "1,2,3,4");
  s.Log({"@App\\bin\\a.exe", "@App\\bin\\b.dll", ":HKEY_CURRENT_USER\\~\\Settings\\Window",
         ";\"@App\\tools\\interrupted.exe\" 1500", ";",
         ";", "@App\\share\\c.dat", "@App\\tools\\interrupted.exe"});
  const Listing before = s.List();
  Process process;
  ASSERT_TRUE(s.Start(process));
  Process program;  // it notes its id
  ASSERT_TRUE(WaitUntil([&] {
    program.id = std::atol(ReadBytes(s.dir / "tools" / "record_program.txt").c_str());
    return program.id != 0;
  }));
  Kill(process);
  // The program outlives the uninstaller: it is ended too.
  program.handle.Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program.id));
  Kill(program);
  // Everything before the program record is done, nothing after it.
  std::set<std::string> gone = {"App\\bin\\", "App\\bin\\a.exe", "App\\bin\\b.dll",
                                "T\\Settings\\", ":T\\Settings\\Window", "U\\",
                                ":U\\UninstallString", ":U\\DisplayName"};
  EXPECT_TRUE(ChangedExactly(before, s.List(), gone, {"App\\tools\\record_program.txt"}));
  EXPECT_TRUE(s.RestartEntries().empty());

  ASSERT_EQ(s.Finish(), 1u);
  gone.insert({"App\\uninstall.log", "App\\lang.ini", "App\\share\\", "App\\share\\c.dat",
               "App\\tools\\interrupted.exe"});
  EXPECT_TRUE(ChangedExactly(before, s.List(), gone, {"App\\tools\\record_program.txt"}));
  // What the first run removed cannot be deleted again: it waits for the restart.
  const std::vector<std::string> restart = {"App\\bin\\a.exe", "App\\bin\\b.dll", "App\\bin\\",
                                            "App\\unicows.dll", "App\\uninstall.exe", "App\\"};
  EXPECT_EQ(s.RestartEntries(), restart);
}

}  // namespace
