// A COM server that faults while it is unregistered: the crash handler writes
// lastcrash.txt, copies the report to the clipboard and shows it; after OK the
// process ends. The removal worker that carries out '%' records is not built
// yet, so com_server_host carries them out as the worker will, with the same
// diagnostics as uninstall.exe (and its symbols beside it, as uninstall.dbg).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/windows_text.h"
#include "uninstaller_fixture.h"

namespace {

std::filesystem::path BuiltFile(const char* name) {
  return BuiltUninstaller().parent_path() / name;
}

TEST(CrashReport, AFaultingComServerIsReportedAndTheProcessEnds) {
  Installation installation;
  const std::filesystem::path server = installation.Directory() / "faulting_com_server.dll";
  std::filesystem::copy_file(BuiltFile("faulting_com_server.dll"), server);
  std::ofstream(installation.Directory() / "uninstall.log", std::ios::binary)
      << "Faulting Product\nFaultingProduct\n\n%" << server.string() << "\n";
  // The report goes to the current directory and replaces an earlier one.
  const std::filesystem::path work = installation.Directory().parent_path() / "work";
  std::filesystem::create_directories(work);
  std::ofstream(work / "lastcrash.txt") << std::string(20000, 'x');

  gui::Process host;
  const std::string line = "\"" + BuiltFile("com_server_host.exe").string() + "\" \"" +
                           installation.DirectoryText() + "\"";
  ASSERT_TRUE(gui::Start(line, work.string(), host));
  const gui::MessageBoxInfo box = gui::WaitForMessageBox(host.id);
  ASSERT_NE(box.window, nullptr) << "no crash report box";
  EXPECT_EQ(box.caption, L"ZR exception handler");
  const std::string clipboard = ClipboardText();
  const std::string report = ReadTextModeFile(work / "lastcrash.txt");
  gui::PressButton(box.window, IDOK);
  EXPECT_EQ(gui::WaitForExit(host), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

  EXPECT_EQ(report, clipboard);
  EXPECT_EQ(box.text, std::wstring(report.begin(), report.end()));
  std::istringstream lines(report);
  std::string header, registers1, registers2, registers3;
  std::getline(lines, header);
  std::getline(lines, registers1);
  std::getline(lines, registers2);
  std::getline(lines, registers3);
  EXPECT_EQ(header.rfind("com_server_host.exe caused a EXCEPTION_ACCESS_VIOLATION in module "
                         "faulting_com_server.dll at 0023:",
                         0),
            0u)
      << header;
  EXPECT_NE(header.find(", DllUnregisterServer"), std::string::npos) << header;
  EXPECT_EQ(registers1.rfind("EAX=", 0), 0u) << registers1;
  EXPECT_EQ(registers2.rfind("EDI=", 0), 0u) << registers2;
  EXPECT_EQ(registers3.rfind("CS=0023 ", 0), 0u) << registers3;
  // The trace runs from the fault through the program's own frames, named
  // from its symbol file.
  const std::string trace((std::istreambuf_iterator<char>(lines)),
                          std::istreambuf_iterator<char>());
  EXPECT_NE(trace.find(" faulting_com_server.dll"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" com_server_host.exe, UnregisterComServer"), std::string::npos) << trace;
  EXPECT_NE(trace.find("com_server_host.cpp, line "), std::string::npos) << trace;
  EXPECT_NE(trace.find(" com_server_host.exe, RemovalWorker"), std::string::npos) << trace;
}

}  // namespace
