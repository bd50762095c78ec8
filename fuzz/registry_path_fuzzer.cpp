// Registry path splitting: a split path must put back together into the path
// it came from (root name, one separator, key path, backslash, last
// component), name a real key below the root (no empty component) and fit its
// buffers; a path that does not split leaves the buffers as they were.
#include <string>

#include "fuzz_support.h"
#include "registry/registry_path.h"

namespace {

constexpr std::string_view kRootNames[] = {
    "",  // kNone
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
    "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte may put a root name in front, so that most inputs reach the split.
  const std::uint8_t choice = data[0];
  std::string path(choice < 8 ? kRootNames[choice] : "");
  path.append(reinterpret_cast<const char*>(data + 1), size - 1);

  RegistryKeyPath keyPath;
  RegistryName lastComponent;
  keyPath.Assign("unchanged key");
  lastComponent.Assign("unchanged name");
  const RegistryRoot root = SplitRegistryPath(path, keyPath, lastComponent);

  if (root == RegistryRoot::kNone) {
    FUZZ_CHECK(keyPath.view() == "unchanged key");
    FUZZ_CHECK(lastComponent.view() == "unchanged name");
    return 0;
  }
  const std::string_view rootName = kRootNames[static_cast<int>(root)];
  FUZZ_CHECK(path.substr(0, rootName.size()) == rootName);
  // The first root in table order whose name starts the path is the one taken.
  for (int r = 1; r < static_cast<int>(root); ++r) {
    FUZZ_CHECK(path.size() <= kRootNames[r].size() || path.substr(0, kRootNames[r].size()) != kRootNames[r]);
  }
  const std::string_view key = keyPath.view();
  const std::string_view last = lastComponent.view();
  FUZZ_CHECK(path.substr(rootName.size() + 1) == std::string(key) + "\\" + std::string(last));
  FUZZ_CHECK(last.find('\\') == std::string_view::npos);
  FUZZ_CHECK(!key.empty() && key.front() != '\\' && key.back() != '\\');
  FUZZ_CHECK(key.find("\\\\") == std::string_view::npos);
  FUZZ_CHECK(key.size() <= kKeyPathCapacity - 1 && last.size() <= kLastComponentCapacity - 1);
  FUZZ_CHECK(IsDefaultValueName(last) == EqualFolded(last, "(default)"));
  return 0;
}
