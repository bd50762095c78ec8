// The INI rewrite over real files. Whatever the file holds, the copy must hold
// every line of it unchanged, in order, except the lines of the edited section
// that equal the entry to remove; the entry to add must stand in that section
// once more than before (exactly once when it is also the entry removed), in a
// new section at the end when the file had none. A refused or unreadable edit
// leaves no copy.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "removal/ini_entry.h"

namespace {

// Lines as the copy writes them: each ends with CR LF.
std::vector<std::string> CopiedLines(const std::string& copy) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < copy.size()) {
    const std::size_t end = copy.find("\r\n", start);
    FUZZ_CHECK(end != std::string::npos);
    lines.push_back(copy.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Lines of a file as the copier reads them: the piece after the last line feed
// is a line only when it is not empty.
std::vector<std::string> FileLines(const std::string& content) {
  std::vector<std::string> lines = PhysicalLines(content);
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

struct SectionView {
  std::vector<std::string> outside;  // every line but the edited section's entries of interest
  int removeCount = 0;               // lines of the section equal to the entry removed
  int appendCount = 0;               // lines of the section equal to the entry added
  bool sectionSeen = false;
};

// A line the copier compares whole: shorter than its line buffer.
bool Comparable(const std::string& line) { return line.size() < kIniLineCapacity - 1; }

SectionView Examine(const std::vector<std::string>& lines, const std::string& header, const IniEdit& edit) {
  SectionView view;
  bool inSection = false;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') {
      inSection = Comparable(line) && EqualFolded(line, header);
      view.sectionSeen = view.sectionSeen || inSection;
      view.outside.push_back(line);
      continue;
    }
    if (inSection && Comparable(line)) {
      const bool removed = !edit.removeEntry.empty() && EqualFolded(line, edit.removeEntry);
      const bool added = !edit.appendEntry.empty() && EqualFolded(line, edit.appendEntry);
      view.removeCount += removed;
      view.appendCount += added;
      if (removed || added) continue;
    }
    view.outside.push_back(line);
  }
  return view;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(kIniSectionMaxLength + 8);
  const std::string removeEntry = input.ConsumeRandomLengthString(64);
  const std::string appendEntry = input.ConsumeBool() ? input.ConsumeRandomLengthString(64)
                                                      : std::string();
  const bool fileExists = input.ConsumeIntegral<std::uint8_t>() != 0;
  const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
  const std::string content = ExpandRepeats(rest.data(), rest.size());
  // The program's sections and entries come from single lines (no line feed in
  // them), and an entry it adds is "NUL=" and a path, never a section header.
  if (section.find('\n') != std::string::npos || removeEntry.find('\n') != std::string::npos ||
      appendEntry.find('\n') != std::string::npos || appendEntry.starts_with('[')) {
    return 0;
  }

  const ScratchDirectory& scratch = ScratchDirectory::Get();
  IniFilePaths paths;
  FUZZ_CHECK(MakeIniFilePaths(scratch.File("system.ini"), paths));
  std::filesystem::remove(paths.copy.c_str());
  std::filesystem::remove(paths.file.c_str());
  if (fileExists) ScratchDirectory::Write(paths.file.c_str(), content);

  const IniEdit edit{section, removeEntry, appendEntry};
  const IniCopy copy = CopyIniWithEdit(paths, edit, fileExists);
  const IniCopyResult result = copy.result;
  const bool copyExists = std::filesystem::exists(paths.copy.c_str());
  const std::string header = "[" + section + "]";

  if (section.size() > kIniSectionMaxLength) {
    FUZZ_CHECK(result == IniCopyResult::kRefused);
    FUZZ_CHECK(!copyExists);
    return 0;
  }
  if (!fileExists) {
    if (appendEntry.empty()) {
      FUZZ_CHECK(result == IniCopyResult::kNotRead);
      FUZZ_CHECK(!copyExists);
    } else {
      FUZZ_CHECK(result == IniCopyResult::kCreated);
      FUZZ_CHECK(ScratchDirectory::Read(paths.copy.c_str()) == header + "\r\n" + appendEntry + "\r\n");
    }
    return 0;
  }
  FUZZ_CHECK(result == IniCopyResult::kCopied);
  FUZZ_CHECK(ScratchDirectory::Read(paths.file.c_str()) == content);  // the file itself is untouched

  const SectionView before = Examine(FileLines(content), header, edit);
  const SectionView after = Examine(CopiedLines(ScratchDirectory::Read(paths.copy.c_str())), header, edit);
  FUZZ_CHECK(copy.linesLeftOut == static_cast<unsigned>(before.removeCount));
  std::vector<std::string> expectedOutside = before.outside;
  if (!appendEntry.empty() && !before.sectionSeen) expectedOutside.push_back(header);
  FUZZ_CHECK(after.outside == expectedOutside);
  if (appendEntry.empty()) {
    FUZZ_CHECK(after.removeCount == 0 || removeEntry.empty());
  } else if (EqualFolded(removeEntry, appendEntry)) {
    FUZZ_CHECK(after.appendCount == 1);
  } else {
    FUZZ_CHECK(after.appendCount == before.appendCount + 1);
    FUZZ_CHECK(after.removeCount == 0 || removeEntry.empty());
  }
  return 0;
}
