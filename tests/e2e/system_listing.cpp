#include "system_listing.h"

#include <cstdio>

namespace {

std::string RootName(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  return "HKU";
}

std::string Hex(const BYTE* data, DWORD size) {
  std::string text;
  char digits[3];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(digits, sizeof digits, "%02X", data[i]);
    text += digits;
  }
  return text;
}

std::string FileDescription(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  std::error_code error;
  return "size " + std::to_string(fs::file_size(path, error)) + " attributes " +
         std::to_string(attributes);
}

void ListDirectory(const fs::path& directory, Listing& listing) {
  std::error_code error;
  if (!fs::is_directory(directory, error)) return;
  listing[DirItem(directory)] = "";
  for (auto it = fs::recursive_directory_iterator(directory, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::path& path = it->path();
    if (it->is_directory(error)) {
      listing[DirItem(path)] = "";
    } else {
      listing[FileItem(path)] = FileDescription(path);
    }
  }
}

void ListKey(HKEY root, const std::string& key, Listing& listing) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  listing[KeyItem(root, key)] = "";
  std::vector<std::string> subkeys;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameLength = sizeof name;
    BYTE data[16384];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    listing[ValueItem(root, key, name)] = "type " + std::to_string(type) + " data " + Hex(data, dataSize);
  }
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameLength = sizeof name;
    if (RegEnumKeyExA(handle, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    subkeys.push_back(key + "\\" + name);
  }
  RegCloseKey(handle);
  for (const std::string& subkey : subkeys) ListKey(root, subkey, listing);
}

}  // namespace

std::string FileItem(const fs::path& path) { return "file " + path.string(); }
std::string DirItem(const fs::path& path) { return "dir " + path.string(); }
std::string KeyItem(HKEY root, const std::string& key) { return "key " + RootName(root) + "\\" + key; }
std::string ValueItem(HKEY root, const std::string& key, const std::string& name) {
  return "value " + RootName(root) + "\\" + key + "\\" + name;
}

Listing TakeListing(const ListedPlaces& places) {
  Listing listing;
  for (const fs::path& directory : places.directories) ListDirectory(directory, listing);
  for (const auto& [root, key] : places.keys) ListKey(root, key, listing);
  return listing;
}

::testing::AssertionResult ChangedExactly(const Listing& before, const Listing& after,
                                          const std::set<std::string>& gone,
                                          const std::set<std::string>& appeared) {
  std::string differences;
  for (const auto& [item, content] : before) {
    const auto found = after.find(item);
    if (found == after.end() && !gone.count(item)) differences += "\n  went, unexpectedly: " + item;
    if (found != after.end() && gone.count(item)) differences += "\n  still there: " + item;
    if (found != after.end() && found->second != content) {
      differences += "\n  changed: " + item + " (" + content + " -> " + found->second + ")";
    }
  }
  for (const std::string& item : gone) {
    if (!before.count(item)) differences += "\n  expected to go but never there: " + item;
  }
  for (const auto& [item, content] : after) {
    if (!before.count(item) && !appeared.count(item)) differences += "\n  came, unexpectedly: " + item;
  }
  for (const std::string& item : appeared) {
    if (!after.count(item) || before.count(item)) differences += "\n  did not come: " + item;
  }
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the listing changed otherwise:" << differences;
}
