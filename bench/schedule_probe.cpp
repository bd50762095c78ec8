// The uninstaller's own restart-list code, timed from inside: schedules every
// file of LIST with ScheduleDeleteAtRestart (the removal worker's call, with the
// protected-folder check for the directory) on an empty list, counts the
// entries the list ends with, and clears it.
//   schedule_probe.exe LIST
// Prints the microseconds per file over all, over the first and the last tenth.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "common/platform_win32.h"
#include "removal/protected_folders_win32.h"
#include "removal/restart_list_win32.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: schedule_probe.exe LIST\n");
    return 2;
  }
  const std::vector<std::string> files = bench::ReadLines(argv[1]);
  if (files.size() < 10) return 2;
  const bool nt = NtFlag();
  ProtectedFolders folders;
  folders.Contains("C:\\Bench");  // the folder list is built once, before the clock starts
  const auto mayScheduleDirectory = [&folders](std::string_view directory) {
    return !folders.Contains(directory);
  };
  bench::ClearRestartList();

  const std::size_t tenth = files.size() / 10;
  std::vector<double> done;
  const double start = bench::Now();
  for (std::size_t i = 0; i < files.size(); ++i) {
    ScheduleDeleteAtRestart(files[i], nt, mayScheduleDirectory);
    if (i + 1 == tenth || i + 1 == files.size() - tenth) done.push_back(bench::Now());
  }
  const double end = bench::Now();
  const std::size_t entries = bench::RestartListSources().size();
  bench::ClearRestartList();
  std::printf("per_file_us=%.1f first_tenth_us=%.1f last_tenth_us=%.1f restart_entries=%zu\n",
              (end - start) / static_cast<double>(files.size()) * 1e6,
              (done[0] - start) / static_cast<double>(tenth) * 1e6,
              (end - done[1]) / static_cast<double>(tenth) * 1e6, entries);
  return 0;
}
