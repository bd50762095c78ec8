// Registry path splitting: a split path is the root name, one separator, the
// key path, a backslash and the last component, with no empty component in the
// key path.
#include "fuzz_support.h"
#include "registry/registry_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  RegistryKeyPath keyPath;
  RegistryName last;
  if (SplitRegistryPath(path, keyPath, last) == RegistryRoot::kNone) return 0;
  const std::string key(keyPath.view());
  const std::size_t rootEnd = path.size() - key.size() - last.size() - 2;
  FUZZ_CHECK(path.starts_with("HKEY_") && path.find('\\') >= rootEnd &&
             path.substr(rootEnd + 1) == key + "\\" + std::string(last.view()));
  FUZZ_CHECK(!key.empty() && key.front() != '\\' && key.back() != '\\' && key.find("\\\\") == key.npos &&
             last.view().find('\\') == std::string_view::npos);
  return 0;
}
