#include "registry/registry_path.h"

#include "common/ascii.h"

namespace {

struct RootName {
  std::string_view name;
  RegistryRoot root;
};

// Matched in this order, case-sensitively; no name is a prefix of another.
constexpr RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", RegistryRoot::kClassesRoot},
    {"HKEY_CURRENT_CONFIG", RegistryRoot::kCurrentConfig},
    {"HKEY_CURRENT_USER", RegistryRoot::kCurrentUser},
    {"HKEY_LOCAL_MACHINE", RegistryRoot::kLocalMachine},
    {"HKEY_USERS", RegistryRoot::kUsers},
    {"HKEY_PERFORMANCE_DATA", RegistryRoot::kPerformanceData},
    {"HKEY_DYN_DATA", RegistryRoot::kDynData},
};

bool HasEmptyComponent(std::string_view keyPath) {
  return keyPath.empty() || keyPath.front() == '\\' || keyPath.back() == '\\' ||
         keyPath.find("\\\\") != std::string_view::npos;
}

}  // namespace

RegistryRoot SplitRegistryPath(std::string_view path, RegistryKeyPath& keyPath,
                               RegistryName& lastComponent) {
  for (const RootName& row : kRootNames) {
    if (path.size() <= row.name.size() || path.substr(0, row.name.size()) != row.name) continue;
    // The character after the root name separates; it is not examined.
    const std::string_view remainder = path.substr(row.name.size() + 1);
    const std::size_t slash = remainder.rfind('\\');
    if (slash == std::string_view::npos) return RegistryRoot::kNone;
    const std::string_view key = remainder.substr(0, slash);
    const std::string_view last = remainder.substr(slash + 1);
    if (HasEmptyComponent(key) || key.size() > RegistryKeyPath::kMaxLength ||
        last.size() > RegistryName::kMaxLength) {
      return RegistryRoot::kNone;
    }
    keyPath.Assign(key);
    lastComponent.Assign(last);
    return row.root;
  }
  return RegistryRoot::kNone;
}

bool IsDefaultValueName(std::string_view name) {
  return EqualsIgnoreAsciiCase(name, "(default)");
}
