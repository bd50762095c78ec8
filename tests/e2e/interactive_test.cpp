// The uninstaller as a person meets it: the confirmation, the language choice,
// the wizard that cannot be cancelled, the shared system file prompts, the
// missing log, the crash report, and a run ended from outside that the next run
// completes.
#include "uninstaller_fixture.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <tuple>

namespace {

// Where the stand-in libraries note that they were loaded (load_recorder.dll).
constexpr char kLoadedKey[] = "Software\\UninstallTests\\Loaded";

bool Loaded(const char* name) {
  return RegGetValueA(HKEY_CURRENT_USER, kLoadedKey, name, RRF_RT_ANY, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS;
}

// The log names no language: the user chooses one, the default proposed (here
// not the first), then confirms. The choice stands centred by its client area,
// neither owned nor topmost. Cancel or the close box at the choice and No at
// the confirmation change nothing; -c (any case) asks no confirmation, and the
// wizard speaks the language chosen.
TEST(Wizard, TheLanguageChoiceAndTheConfirmationComeFirst) {
  const Scenario s;
  const fs::path file = s.Add("@App\\bin\\tool.exe");
  s.Log({file.string()}, "");
  const auto bytes = [](std::u16string_view text) {  // as lang.ini stores them: UTF-16 LE
    return std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
  };
  std::string ini = ReadBytes(s.dir / "lang.ini");
  ini.replace(ini.find(bytes(u"default=English")), 30, bytes(u"default=German"));
  std::ofstream(s.dir / "lang.ini", std::ios::binary) << ini;
  const Listing before = s.List();
  Process process;
  const auto choose = [&](const char* arguments, int button, const wchar_t* language) {
    ASSERT_TRUE(s.Start(process, arguments));
    const HWND choice = WaitForWindowWith(process.id, IDC_LANGUAGE_LIST);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(GetWindow(choice, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongW(choice, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT client{}, window{};
    GetClientRect(choice, &client);
    GetWindowRect(choice, &window);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);
    const HWND list = Control(choice, IDC_LANGUAGE_LIST);
    EXPECT_EQ(Text(list), L"Deutsch") << "the default is not proposed";
    if (language) {
      const auto text = reinterpret_cast<LPARAM>(language);
      ASSERT_NE(SendMessageW(list, CB_SELECTSTRING, -1, text), CB_ERR);
    }
    if (button == IDCLOSE) Close(choice); else PressButton(choice, button);
  };
  for (const int button : {IDCANCEL, IDCLOSE}) {
    choose("", button, nullptr);
    EXPECT_EQ(WaitForExit(process), 1u) << (button == IDCLOSE ? "the close box" : "Cancel");
    Kill(process);
  }
  choose("", IDOK, nullptr);
  const MessageBoxInfo box = AnswerMessageBox(process.id, IDNO);
  EXPECT_EQ(box.caption, L"Deinstallation");
  EXPECT_EQ(box.text, L"M\u00F6chten Sie 'Test Tool' und alle zugeh\u00F6rigen Komponenten "
                      L"vollst\u00E4ndig entfernen?");
  EXPECT_EQ(WaitForExit(process), 1u);
  EXPECT_TRUE(ChangedExactly(before, s.List(), {}));

  choose("-c", IDOK, L"English");
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(Text(wizard.sheet), L"Test Tool");
  EXPECT_EQ(ControlText(wizard.page, IDC_PAGE_HEADING), L"Remove Programs From Your Computer.");
  EXPECT_EQ(ControlText(wizard.sheet, kWizardFinish), L"Finish");
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  EXPECT_FALSE(fs::exists(file));
}

// Shared files in the system directory, whatever the log's spelling (a short
// name, other case and slashes, "\\?\"): the prompt comes when no reference is
// left (the count is gone then, whatever the answer) or none was counted, "to
// all" answers hold for the rest of the run, and an unattended run keeps the
// file. Meanwhile the bar moves record by record and Cancel, Escape and the
// close box do nothing; Finish comes last, with the success line shown.
TEST(Wizard, SharedSystemFilesAreAskedAboutAndOnlyFinishEndsTheWizard) {
  const Scenario s;
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  std::map<std::string, std::string> files, logged;
  for (const char* name : {"yes", "uncounted", "no", "all", "after", "nos", "nos2", "silent"}) {
    files[name] = logged[name] = std::string(system) + "\\e2e" + s.unique + name + ".dll";
    std::ofstream(files[name]) << "shared";
    const DWORD count = 1;
    if (name != std::string_view("uncounted"))
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, files[name].c_str(), REG_DWORD, &count, 4);
  }
  logged["yes"] = ShortPath(files["yes"]);
  CharUpperBuffA(logged["no"].data(), static_cast<DWORD>(strlen(system)));
  for (char& c : logged["no"]) c = c == '\\' ? '/' : c;
  logged["all"] = "\\\\?\\" + files["all"];
  Process process;
  Wizard wizard;
  int progress = 0;
  const auto answer = [&](const char* name, int button) {
    const HWND prompt = WaitForSystemFilePrompt(process.id);
    ASSERT_NE(prompt, nullptr) << name;
    EXPECT_EQ(Text(prompt), fs::path(logged[name]).filename().wstring());
    EXPECT_GT(wizard.Progress(), progress);
    progress = wizard.Progress();
    EXPECT_FALSE(wizard.FinishEnabled());
    for (const HWND window : {prompt, wizard.sheet}) {
      Close(window);
      SendCommand(window, IDCANCEL);
      EXPECT_TRUE(IsWindow(window));
    }
    PressButton(prompt, button);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
  };
  std::string log = "Test Tool\r\n" + s.product + "\r\nEnglish\r\n";  // a short name's '~' as it is
  for (const char* name : {"yes", "uncounted", "no", "all", "after"}) log += logged[name] + "\r\n";
  s.RawLog(log);
  ASSERT_TRUE(s.Start(process));
  wizard = WaitForWizard(process.id);
  const HWND prompt = WaitForSystemFilePrompt(process.id);
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(ControlText(wizard.page, IDC_PAGE_DESCRIPTION),
            L"Uninstallation Wizard will remove the software 'Test Tool' from your computer.");
  EXPECT_EQ(ControlText(prompt, IDC_PROMPT_YES), L"Yes");
  EXPECT_EQ(ControlText(prompt, IDC_PROMPT_NO_TO_ALL), L"No to all");
  EXPECT_EQ(ControlText(prompt, IDC_PROMPT_QUESTION).substr(0, 39),
            L"Would you like to delete a system file?");
  answer("yes", IDC_PROMPT_YES);
  answer("uncounted", IDC_PROMPT_YES);
  answer("no", IDC_PROMPT_NO);
  answer("all", IDC_PROMPT_YES_TO_ALL);
  bool successShown = false;
  ASSERT_TRUE(WaitUntil([&] {
    successShown = wizard.SuccessShown();  // read before Finish is seen: it must stand already
    return wizard.FinishEnabled();
  }));
  EXPECT_TRUE(successShown);
  EXPECT_EQ(wizard.Progress(), 100);
  PressButton(wizard.sheet, kWizardFinish);
  EXPECT_EQ(WaitForExit(process), 1u);

  s.Log({files["nos"], files["nos2"]});
  ASSERT_TRUE(s.Start(process));
  wizard = WaitForWizard(process.id);
  progress = 0;
  answer("nos", IDC_PROMPT_NO_TO_ALL);
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  s.Log({files["silent"]});
  EXPECT_EQ(s.Unattended("-S"), "exit 0");
  for (const auto& [name, path] : files) {
    const bool kept = name == "no" || name.starts_with("nos") || name == "silent";
    EXPECT_EQ(fs::exists(path), kept) << name;
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path), ~0u) << name;
    DeleteFileA(path.c_str());
  }
}

// The box {left, top, right, bottom} of what `draw` inks on a white bitmap
// `width` x `height`: the pixels of another colour than the bottom right one.
using Box = std::array<int, 4>;
Box InkBox(int width, int height, const std::function<void(HDC)>& draw) {
  const UniqueGdiObject bitmap(CreateBitmap(width, height, 1, 32, nullptr));
  const HDC memory = CreateCompatibleDC(nullptr);
  SelectObject(memory, bitmap.get());
  PatBlt(memory, 0, 0, width, height, WHITENESS);
  draw(memory);
  DeleteDC(memory);
  std::vector<DWORD> pixels(width * height);
  GetBitmapBits(static_cast<HBITMAP>(bitmap.get()), width * height * 4, pixels.data());
  Box box = {width, height, 0, 0};
  for (int i = 0, x = 0, y = 0; i < width * height; x = ++i % width, y = i / width)
    if ((pixels[i] ^ pixels.back()) & 0xFFFFFF)
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
             std::max(box[3], y + 1)};
  return box;
}

// The heading and the success line are drawn in Arial at their heights scaled
// to the display, and whole: the control shows all that the font inks drawn
// unclipped. Wine takes the DPI from LogPixels for each new process. (The
// description's second line, when it wraps, lies partly under the group box.)
TEST(Wizard, TheTextsFollowTheDisplayAndFitTheirControls) {
  if (std::getenv("WINEPREFIX") == nullptr) GTEST_SKIP() << "Windows takes a new DPI at logon";
  const SavedValue saved(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
  for (const DWORD dpi : {96, 144, 192}) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, 4);
    const Scenario s;
    s.Log({});
    Process process;
    ASSERT_TRUE(s.Start(process));
    const Wizard wizard = WaitForWizard(process.id);
    ASSERT_TRUE(WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); }));
    for (const auto& [name, id, height, weight] :
         {std::tuple{"the heading", IDC_PAGE_HEADING, 14, FW_BOLD},
          std::tuple{"the success line", IDC_PAGE_SUCCESS, 12, FW_NORMAL}}) {
      const HWND control = Control(wizard.page, id);
      RECT client{};
      GetClientRect(control, &client);
      const UniqueGdiObject font(CreateFontA(-MulDiv(height, dpi, 96), 0, 0, 0, weight, 0, 0, 0,
                                             DEFAULT_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                                             ANTIALIASED_QUALITY, VARIABLE_PITCH, "Arial"));
      const Box drawn = InkBox(client.right, 4 * client.bottom, [&](HDC memory) {
        SelectObject(memory, font.get());
        DrawTextW(memory, Text(control).c_str(), -1, &client, DT_SINGLELINE | DT_NOCLIP);
      });
      POINT origin{};
      ClientToScreen(control, &origin);
      const HDC screen = GetDC(nullptr);
      const auto shown = [&] {
        return InkBox(client.right, client.bottom, [&](HDC memory) {
          BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        });
      };
      WaitUntil([&] { return shown() == drawn; }, 2000);
      EXPECT_EQ(shown(), drawn) << name << " at " << dpi << " DPI";
      ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(FinishWizard(process, wizard), 1u);
  }
}

// Without the log the uninstaller offers to remove the registration named by
// -U, upper-cased, or else by the installation directory's name, if that names
// one key.
TEST(Wizard, AMissingLogOffersToRemoveTheRegistration) {
  const Scenario s;
  const std::string named = "E2EKEY" + s.unique;
  const fs::path other = s.Add("@Other Tool\\uninstall.exe");
  // Libraries of the system planted beside the program, which Wine would take
  // from there if the search reached the program's directory: the crash
  // handler's debug help at start, Shlwapi for the key.
  const std::string overrides = "Software\\Wine\\AppDefaults\\uninstall.exe\\DllOverrides";
  for (const char* name : {"dbghelp", "imagehlp", "shlwapi"}) {
    fs::copy_file(BuiltFile("load_recorder.dll"), s.dir / (std::string(name) + ".dll"));
    SetString(HKEY_CURRENT_USER, overrides, name, "native,builtin");
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kLoadedKey);
  std::string ours = ShortPath(s.uninstaller.string());
  CharUpperA(ours.data());
  struct Row {
    std::string arguments;
    int answer;
    std::string name;            // the key offered for removal
    std::string uninstallString;  // none when empty
    bool removed;
    std::string log = "";  // none when empty
  };
  // A log that ends inside its header is a missing one. An entry is removed
  // only when it names this installation's program, however spelt, or none.
  for (const Row& row :
       {Row{"-U" + named, IDNO, named, "", false}, Row{"-UA\\B", IDYES, "App", "", false},
        Row{"-Ue2ekey" + s.unique, IDYES, named, "", true}, Row{"", IDYES, "App", "", true},
        Row{"", IDYES, "App", other.string() + " /remove", false},
        Row{"", IDYES, "App", "\"" + (s.root / "Elsewhere\\uninstall.exe").string() + "\"", false},
        Row{"", IDYES, "App", ours + " -S", true},
        Row{"", IDYES, "App", "", true, "Test Tool\r\n$\r\n"}}) {
    SCOPED_TRACE(row.arguments + " " + row.uninstallString + " " + row.log);
    const std::string key = std::string(kUninstallRoot) + "\\" + row.name;
    SetString(HKEY_LOCAL_MACHINE, key + "\\Extra", "v", "1");
    if (!row.uninstallString.empty())
      SetString(HKEY_LOCAL_MACHINE, key, "UninstallString", row.uninstallString);
    if (!row.log.empty()) s.RawLog(s.Expand(row.log));
    const Listing before = s.List();
    Process process;
    ASSERT_TRUE(s.Start(process, row.arguments));
    const MessageBoxInfo box = AnswerMessageBox(process.id, row.answer);
    EXPECT_EQ(box.caption, L"Uninstall");
    EXPECT_EQ(box.text, L"Unable to find the installation log file '" +
                            (s.dir / "uninstall.log").wstring() +
                            L"'. Uninstallation can not continue.\nRemove uninstallation option?");
    EXPECT_EQ(WaitForExit(process), 1u);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, key + "\\Extra"), !row.removed);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallRoot));
    EXPECT_TRUE(ChangedExactly(before, s.List(), {}));
    EXPECT_EQ(s.RestartEntries(), std::vector<std::string>{});
    for (const char* name : {"dbghelp.dll", "imagehlp.dll", "shlwapi.dll"})
      EXPECT_FALSE(Loaded(name)) << name << " was taken from the program's directory";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, overrides.c_str());
}

// A COM server faults while it is unregistered: the report goes to the current
// directory (replacing an earlier one) and into a box; after OK the process ends. With
// uninstall.dbg beside it, the trace names the uninstaller's own functions.
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
  const std::string report = ReadTextModeFile(s.work / "lastcrash.txt");
  PressButton(box.window, IDOK);
  EXPECT_EQ(WaitForExit(process), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(box.text, std::wstring(report.begin(), report.end()));
  const std::string header = report.substr(0, report.find('\n'));
  const std::string codeSegment = sizeof(void*) == 8 ? "0033" : "0023";
  const std::string fault =
      "uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module faulting_com_server.dll at " +
      codeSegment + ":";
  EXPECT_EQ(header.substr(0, fault.size()), fault);
  EXPECT_NE(header.find(", DllUnregisterServer"), std::string::npos) << header;
  EXPECT_EQ(report.find(sizeof(void*) == 8 ? "\nRAX=" : "\nEAX="), header.size()) << report;
  EXPECT_NE(report.find("\nCS=" + codeSegment + " "), std::string::npos) << report;
  // From the fault through the uninstaller's own frames. Only RemoveFile's
  // source line is checked: for code inlined from a header Wine names a wrong file.
  const std::string trace = report.substr(header.size());
  EXPECT_NE(trace.find(" faulting_com_server.dll, DllUnregisterServer"), std::string::npos)
      << trace;
  EXPECT_NE(trace.find(" uninstall.exe, UnregisterComServer"), std::string::npos) << trace;
  const std::size_t removeFile = trace.find(" uninstall.exe, RemovalWorker::RemoveFile()+");
  ASSERT_NE(removeFile, std::string::npos) << trace;
  EXPECT_LT(trace.find(".cpp, line ", removeFile), trace.find('\n', removeFile)) << trace;
  EXPECT_NE(trace.find(" uninstall.exe, RemovalWorker::Run()+"), std::string::npos) << trace;
}

// Ended from outside while a program of the log runs, then started again: the
// second run completes; what the first removed is not removed again in a way
// that harms anything.
TEST(Wizard, ARunEndedWhileAProgramRunsIsCompletedByTheNextRun) {
  const Scenario s;
  for (const char* file : {"@App\\bin\\a.exe", "@App\\bin\\b.dll", "@App\\share\\c.dat"})
    s.Add(file);
  fs::create_directories(s.dir / "tools");
  fs::copy_file(BuiltFile("record_program.exe"), s.dir / "tools" / "interrupted.exe");
  SetString(HKEY_CURRENT_USER, s.key + "\\Settings", "Window", "1,2,3,4");
  s.Log({"@App\\bin\\a.exe", "@App\\bin\\b.dll", ":HKEY_CURRENT_USER\\~\\Settings\\Window",
         ";\"@App\\tools\\interrupted.exe\" 1500", ";", ";", "@App\\share\\c.dat",
         "@App\\tools\\interrupted.exe"});
  const Listing before = s.List();
  Process process;
  ASSERT_TRUE(s.Start(process));
  Process program;  // it notes its id
  const fs::path noted = s.dir / "tools" / "record_program.txt";
  ASSERT_TRUE(WaitUntil([&] { return (program.id = std::atol(ReadBytes(noted).c_str())) != 0; }));
  Kill(process);
  // The program outlives the uninstaller: it is ended too.
  program.handle.Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program.id));
  Kill(program);
  // Everything before the program record is done, nothing after it.
  std::set<std::string> gone = {"App\\bin\\",          "App\\bin\\a.exe",      "App\\bin\\b.dll",
                                "T\\Settings\\",       ":T\\Settings\\Window", "U\\",
                                ":U\\UninstallString", ":U\\DisplayName"};
  EXPECT_TRUE(ChangedExactly(before, s.List(), gone, {"App\\tools\\record_program.txt"}));
  EXPECT_TRUE(s.RestartEntries().empty());

  ASSERT_EQ(s.Finish(), 1u);
  gone.insert({"App\\uninstall.log", "App\\lang.ini", "App\\share\\", "App\\share\\c.dat",
               "App\\tools\\interrupted.exe"});
  EXPECT_TRUE(ChangedExactly(before, s.List(), gone, {"App\\tools\\record_program.txt"}));
  // What the first run removed cannot be deleted again: it waits for the restart.
  const std::vector<std::string> restart = {"App\\bin\\a.exe",  "App\\bin\\b.dll",    "App\\bin\\",
                                            "App\\unicows.dll", "App\\uninstall.exe", "App\\"};
  EXPECT_EQ(s.RestartEntries(), restart);
}

// The platform families. Wine shows a program the 9x family when its file name
// has Version win98 under AppDefaults; the installation's uninstaller is given
// such a name. There an INI record (system.ini) needs a restart, which the
// uninstaller offers after Finish, and the wide window functions come from the
// Unicode layer (unicows.dll) beside it (the image imports none: its own check);
// the NT family never asks and never loads the layer.

const std::string kWindows = std::getenv("windir");

// Wine's settings for the program's file name: the family, and the Unicode
// layer it finds: the one beside it, or none (Wine's own lacks PropertySheetW).
struct AppDefaults {
  AppDefaults(const std::string& name, bool family9x, bool layer)
      : key("Software\\Wine\\AppDefaults\\" + name) {
    if (family9x) SetString(HKEY_CURRENT_USER, key, "Version", "win98");
    SetString(HKEY_CURRENT_USER, key + "\\DllOverrides", "unicows", layer ? "native" : "");
    RegDeleteTreeA(HKEY_CURRENT_USER, kLoadedKey);
  }
  ~AppDefaults() { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }
  std::string key;
};

TEST(Family, AnIniRecordOffersARestartOn9xOnlyAndOnlyThereTheLayerIsUsed) {
  const std::string systemIni = kWindows + "\\system.ini", wininit = kWindows + "\\wininit.ini";
  const std::string savedIni = ReadBytes(systemIni), savedWininit = ReadBytes(wininit);
  for (const bool family9x : {true, false}) {
    SCOPED_TRACE(family9x ? "9x" : "NT");
    const Scenario s(family9x ? "uninst98.exe" : "uninstall.exe");
    const AppDefaults settings(s.uninstaller.filename().string(), family9x, true);
    fs::copy_file(BuiltFile("load_recorder.dll"), s.dir / "unicows.dll");
    const std::string key = "e2e" + s.unique + ".drv";
    WritePrivateProfileStringA("boot", key.c_str(), "e2e.drv", systemIni.c_str());
    s.Log({"-boot\\" + key, "e2e.drv"});
    Process process;
    ASSERT_TRUE(s.Start(process, ""));
    ASSERT_NE(AnswerMessageBox(process.id, IDYES).window, nullptr);
    const Wizard wizard = WaitForWizard(process.id);
    ASSERT_NE(wizard.page, nullptr);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, s.registration));  // gone before the wizard opens
    // The page's class procedure, DefDlgProcA on a wide class, keeps wide text.
    EXPECT_EQ(Text(wizard.page), L"Test Tool");
    ASSERT_TRUE(WaitUntil([&] { return wizard.FinishEnabled() && wizard.SuccessShown(); }));
    PressButton(wizard.sheet, kWizardFinish);
    if (family9x) {
      const MessageBoxInfo box = AnswerMessageBox(process.id, IDNO);
      EXPECT_EQ(box.caption, L"Restart Required");
      EXPECT_EQ(box.text,
                L"Your computer must be restarted to complete the uninstallation of 'Test Tool'.\n"
                L"Do you want to restart now?");
    }
    EXPECT_EQ(WaitForExit(process), 1u) << "still running, a restart question on the NT family?";
    char value[64] = {};
    GetPrivateProfileStringA("boot", key.c_str(), "", value, sizeof value, systemIni.c_str());
    EXPECT_STREQ(value, "");
    EXPECT_EQ(Loaded("unicows.dll"), family9x);
    if (!family9x) continue;
    // The uninstaller removes itself through WININIT.INI on this family.
    const std::string lines = ReadBytes(wininit);
    EXPECT_NE(lines.find("[rename]"), std::string::npos);
    EXPECT_NE(lines.find("NUL="), std::string::npos);
  }
  std::ofstream(systemIni, std::ios::binary) << savedIni;
  std::ofstream(wininit, std::ios::binary) << savedWininit;
}

// Without the layer no question and no wizard can be shown: after the one
// message the program ends having removed nothing (with -C the registration
// went before the wizard would have opened), and it stays to be run again.
// Unattended it needs no window, so it needs no layer either.
TEST(Family, WithoutTheUnicodeLayerOn9xTheProgramSaysSoOnceAndRemovesNothing) {
  const std::string wininit = kWindows + "\\wininit.ini";
  const std::string savedWininit = ReadBytes(wininit);
  for (const std::string arguments : {"", "-C", "-S"}) {
    SCOPED_TRACE(arguments);
    const Scenario s("uninst98.exe");
    const AppDefaults settings("uninst98.exe", true, false);
    const fs::path tool = s.Add("@App\\bin\\tool.exe");
    s.Log({tool.string()});
    if (arguments == "-S") {
      EXPECT_EQ(s.Unattended(arguments), "exit 0");
      EXPECT_FALSE(fs::exists(tool));
      continue;
    }
    Process process;
    ASSERT_TRUE(s.Start(process, arguments));
    const MessageBoxInfo box = AnswerMessageBox(process.id, IDOK);
    EXPECT_EQ(box.caption, L"TEST");
    EXPECT_EQ(box.text, L"UNICOWS.DLL NOT LOADED!!");
    EXPECT_EQ(WaitForExit(process), 1u);
    EXPECT_TRUE(fs::exists(tool));
    EXPECT_EQ(s.List().count(":U\\UninstallString"), arguments.empty() ? 1u : 0u);
    EXPECT_EQ(ReadBytes(wininit), savedWininit);
  }
  std::ofstream(wininit, std::ios::binary) << savedWininit;
}

}  // namespace
