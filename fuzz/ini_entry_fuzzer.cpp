// The INI rewrite over real files. The input's first three lines are the
// section, the entry to remove and the entry to add; the rest is the file. A
// refused edit leaves no copy, and the file itself is untouched. The copy ends
// with a line break and holds the file's lines less those left out, plus the
// entry added and at most a new section header; and the edit is settled:
// unless it adds another entry than it removes, editing the copy again
// changes nothing.
#include <algorithm>
#include <filesystem>

#include "fuzz_support.h"
#include "removal/ini_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view content(reinterpret_cast<const char*>(data), size);
  std::string_view fields[3];
  for (std::string_view& field : fields) {
    field = content.substr(0, content.find('\n'));
    content.remove_prefix(std::min(field.size() + 1, content.size()));
  }
  // What the program adds is "NUL=" and a path: never a section header, and it fits a line.
  if (fields[2].starts_with('[') || fields[2].size() >= kIniLineCapacity - 1) return 0;
  static const ScratchFile file("system.ini"), copyFile("system.ini_");
  IniFilePaths paths;
  FUZZ_CHECK(MakeIniFilePaths(file.path, paths) && paths.copy.view() == copyFile.path);
  std::filesystem::remove(copyFile.path);
  file.Write(content);
  const IniEdit edit{fields[0], fields[1], fields[2]};
  const IniCopy copy = CopyIniWithEdit(paths, edit, true);
  const bool copied = copy.result == IniCopyResult::kCopied;
  FUZZ_CHECK(copied == std::filesystem::exists(copyFile.path) && file.Read() == content);
  if (!copied) return 0;
  const std::string text = copyFile.Read();
  // Lines as the copier reads them: what follows the last line feed is one when it is not empty.
  const auto lines = [](std::string_view t) {
    return static_cast<std::size_t>(std::ranges::count(t, '\n')) + (!t.empty() && t.back() != '\n');
  };
  const std::size_t added = lines(text) + copy.linesLeftOut - lines(content);
  FUZZ_CHECK((text.empty() || text.ends_with("\r\n")) && added <= 2 && (added == 0) == fields[2].empty());
  if (!edit.appendEntry.empty() && edit.appendEntry != edit.removeEntry) return 0;
  std::filesystem::rename(copyFile.path, file.path);
  const IniCopy again = CopyIniWithEdit(paths, edit, true);
  FUZZ_CHECK(again.linesLeftOut == !edit.appendEntry.empty() && copyFile.Read() == text);
  return 0;
}
