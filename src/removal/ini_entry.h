#pragma once
// INI entries: an INI file is edited by copying it line by line into a
// temporary file beside it, leaving out the lines of one section that equal an
// entry (and, for the restart list of the 9x family, adding one); the copy then
// takes the file's place (ini_entry_win32.h). The copy holds exactly the lines
// that were read, less those left out, each ending with CR LF.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"

// A longer section name is refused: its "[name]" header would not fit 128 bytes.
inline constexpr std::size_t kIniSectionMaxLength = 125;
// A longer file path is refused: the copy's name and the aside's add one character.
inline constexpr std::size_t kIniFilePathMaxLength = kPathCapacity - 2;
// Lines are compared in pieces of this size less one; a longer line is copied
// whole but never equals an entry or a section header.
inline constexpr std::size_t kIniLineCapacity = 1024;

using IniPath = BoundedString<kPathCapacity>;

// The file and its temporary copy ("system.ini" is copied to "system.ini_").
struct IniFilePaths {
  IniPath file;
  IniPath copy;
  IniPath aside;  // "system.ini~": the file while the copy takes its place, where that takes two steps
};

// False when the path is longer than kIniFilePathMaxLength.
bool MakeIniFilePaths(std::string_view filePath, IniFilePaths& paths);

struct IniEdit {
  std::string_view section;      // the name between the brackets
  std::string_view removeEntry;  // lines of the section equal to it are left out; empty: none
  // Added as the last non-empty line of the section's first occurrence, or in a
  // new section at the end of the file; empty: nothing is added.
  std::string_view appendEntry;
};

enum class IniCopyResult {
  kRefused,  // the section name is too long: nothing was done
  kNotRead,  // the file could not be read: nothing was done
  kFailed,   // the copy could not be made completely: it was removed again
  kCopied,   // the copy holds the file's edited content
  kCreated,  // the file does not exist: the copy holds the new section alone
};

struct IniCopy {
  IniCopyResult result = IniCopyResult::kRefused;
  unsigned linesLeftOut = 0;  // lines of the section equal to the entry to remove
};

// Copies paths.file to paths.copy with the edit. Section headers and entries
// are compared as whole lines with the ASCII letters' case folded; a section
// runs from its header to the next line that begins with "[", and a header
// that occurs twice opens the section twice. A missing file (`fileExists`
// false) is created only when an entry is added.
IniCopy CopyIniWithEdit(const IniFilePaths& paths, const IniEdit& edit, bool fileExists);
