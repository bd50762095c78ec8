// A COM server that faults while the removal worker unregisters it: the crash
// handler writes lastcrash.txt, copies the report to the clipboard and shows
// it; after OK the process ends. With uninstall.dbg beside uninstall.exe the
// trace names the uninstaller's own functions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/windows_text.h"
#include "uninstaller_fixture.h"

namespace {

// The register dump of the processor the uninstaller was built for (the same
// as this test's), line by line.
#ifdef _WIN64
constexpr const char* kCodeSegment = "0033";
constexpr const char* kRegisterLineStarts[] = {"RAX=", "RSI=", "R8=", "R12=", "RIP=", "CS=0033 "};
#else
constexpr const char* kCodeSegment = "0023";
constexpr const char* kRegisterLineStarts[] = {"EAX=", "EDI=", "CS=0023 "};
#endif

TEST(CrashReport, AFaultingComServerIsReportedAndTheProcessEnds) {
  Installation installation;
  const fs::path server = installation.Directory() / "faulting_com_server.dll";
  fs::copy_file(BuiltFile("faulting_com_server.dll"), server);
  fs::copy_file(BuiltFile("uninstall.dbg"), installation.Directory() / "uninstall.dbg");
  installation.WriteLog("Faulting Product", installation.ProductKey(), "English",
                        {"%" + server.string()});
  installation.AddLanguageFile();
  // The report goes to the current directory and replaces an earlier one.
  const fs::path work = installation.Directory().parent_path() / "work";
  fs::create_directories(work);
  std::ofstream(work / "lastcrash.txt") << std::string(20000, 'x');

  gui::Process process;
  ASSERT_TRUE(gui::Start("\"" + installation.Uninstaller().string() + "\" -C", work.string(),
                         process));
  const gui::MessageBoxInfo box = gui::WaitForMessageBox(process.id);
  ASSERT_NE(box.window, nullptr) << "no crash report box";
  EXPECT_EQ(box.caption, L"ZR exception handler");
  const std::string clipboard = ClipboardText();
  const std::string report = ReadTextModeFile(work / "lastcrash.txt");
  gui::PressButton(box.window, IDOK);
  EXPECT_EQ(gui::WaitForExit(process), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

  EXPECT_EQ(report, clipboard);
  EXPECT_EQ(box.text, std::wstring(report.begin(), report.end()));
  std::istringstream lines(report);
  std::string header;
  std::getline(lines, header);
  EXPECT_EQ(header.rfind("uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module "
                         "faulting_com_server.dll at " + std::string(kCodeSegment) + ":",
                         0),
            0u)
      << header;
  EXPECT_NE(header.find(", DllUnregisterServer"), std::string::npos) << header;
  for (const char* start : kRegisterLineStarts) {
    std::string registers;
    std::getline(lines, registers);
    EXPECT_EQ(registers.rfind(start, 0), 0u) << registers;
  }
  // The trace runs from the fault through the uninstaller's own frames. (Only
  // RemoveFile's source line is checked: for an address in code inlined from a
  // header, as UnregisterComServer's return address is, Wine names a wrong file.)
  const std::string trace((std::istreambuf_iterator<char>(lines)), std::istreambuf_iterator<char>());
  EXPECT_NE(trace.find(" faulting_com_server.dll, DllUnregisterServer"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" uninstall.exe, UnregisterComServer"), std::string::npos) << trace;
  const std::size_t removeFile = trace.find(" uninstall.exe, RemovalWorker::RemoveFile()+");
  ASSERT_NE(removeFile, std::string::npos) << trace;
  const std::string removeFileFrame = trace.substr(removeFile, trace.find('\n', removeFile) - removeFile);
  // The source line is where the return address lies, in code the compiler may
  // have brought in from another file.
  EXPECT_NE(removeFileFrame.find(".cpp, line "), std::string::npos) << trace;
  EXPECT_NE(trace.find(" uninstall.exe, RemovalWorker::Run()+"), std::string::npos) << trace;
}

}  // namespace
