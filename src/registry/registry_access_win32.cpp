#include "registry/registry_access.h"

#include "common/platform_win32.h"
#include "common/system_library_win32.h"
#include "common/win32_handles.h"

namespace {

using DeleteTreeFunction = LSTATUS(WINAPI*)(HKEY, LPCSTR);

HKEY PredefinedKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers: return HKEY_USERS;
    case RegistryRoot::kPerformanceData: return HKEY_PERFORMANCE_DATA;
    case RegistryRoot::kDynData: return HKEY_DYN_DATA;
    case RegistryRoot::kNone: break;
  }
  return nullptr;
}

// The predefined key for `path`'s root, or null (see SplitRegistryPath).
HKEY SplitToPredefinedKey(std::string_view path, RegistryKeyPath& keyPath, RegistryName& name) {
  return PredefinedKey(SplitRegistryPath(path, keyPath, name));
}

// The name the registry functions take for a value: null for the unnamed one.
const char* ValueNameArgument(const RegistryName& name) {
  return IsDefaultValueName(name.view()) ? nullptr : name.c_str();
}

DWORD ClampToDword(std::size_t size) {
  return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
}

// A value named by a registry path, opened for reading: the common start of the
// three path-based reads.
struct OpenedValue {
  UniqueHKey key;
  RegistryName name;
  bool opened = false;

  explicit OpenedValue(std::string_view path) {
    RegistryKeyPath keyPath;
    HKEY root = SplitToPredefinedKey(path, keyPath, name);
    opened = root != nullptr &&
             RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) ==
                 ERROR_SUCCESS;
  }
};

// Opens root\subkey for a DWORD value, creating the missing keys when writing.
LSTATUS OpenDwordKey(HKEY root, std::string_view subkey, std::string_view valueName,
                     bool forWriting, UniqueHKey& key, RegistryName& name) {
  RegistryKeyPath keyPath;
  if (!keyPath.Assign(subkey) || !name.Assign(valueName)) return kRegistryPathRejected;
  return forWriting ? RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_WRITE, nullptr, key.Receive(), nullptr)
                    : RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive());
}

void PruneEmptyKeys(HKEY root, std::string_view keyPath) {
  RegistryKeyPath path;
  if (!path.Assign(keyPath)) return;
  for (;;) {
    // A key directly below the root (one component) is never removed: the
    // first character is not searched.
    const std::size_t slash = path.view().rfind('\\');
    if (slash == std::string_view::npos || slash == 0) return;
    {
      UniqueHKey key;
      if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) {
        return;
      }
      char name[kLastComponentCapacity];
      DWORD size = sizeof name;
      // Anything but "no more items" (a name too long for the buffer included)
      // means the key is not empty.
      if (RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_NO_MORE_ITEMS) {
        return;
      }
      size = sizeof name;
      if (RegEnumValueA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_NO_MORE_ITEMS) {
        return;
      }
    }
    RegistryName leaf;
    leaf.Assign(path.view().substr(slash + 1));
    path.Truncate(slash);
    UniqueHKey parent;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, parent.Receive()) != ERROR_SUCCESS ||
        RegDeleteKeyA(parent.get(), leaf.c_str()) != ERROR_SUCCESS) {
      return;
    }
  }
}

}  // namespace

namespace RegistryAccess {

std::size_t ReadRegistryValue(std::string_view path, void* data, std::size_t size) {
  OpenedValue value(path);
  if (!value.opened) return 0;
  DWORD bytes = ClampToDword(size);
  if (RegQueryValueExA(value.key.get(), ValueNameArgument(value.name), nullptr, nullptr,
                       static_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS) {
    return 0;
  }
  return bytes;
}

bool RegistryValueExists(std::string_view path) {
  OpenedValue value(path);
  return value.opened && RegQueryValueExA(value.key.get(), ValueNameArgument(value.name),
                                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::size_t RegistryValueSize(std::string_view path) {
  OpenedValue value(path);
  DWORD bytes = 0;
  if (!value.opened || RegQueryValueExA(value.key.get(), ValueNameArgument(value.name), nullptr,
                                        nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return 0;
  }
  return bytes;
}

LSTATUS WriteRegistryMultiString(std::string_view path, const void* data, std::size_t size) {
  RegistryKeyPath keyPath;
  RegistryName name;
  HKEY root = SplitToPredefinedKey(path, keyPath, name);
  if (root == nullptr) return kRegistryPathRejected;
  UniqueHKey key;
  const LSTATUS opened = RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_WRITE, nullptr, key.Receive(), nullptr);
  if (opened != ERROR_SUCCESS) return opened;
  return RegSetValueExA(key.get(), ValueNameArgument(name), 0, REG_MULTI_SZ,
                        static_cast<const BYTE*>(data), ClampToDword(size));
}

long ReadRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                       long fallback) {
  RegistryName name;
  UniqueHKey key;
  if (OpenDwordKey(root, subkey, valueName, false, key, name) != ERROR_SUCCESS) return fallback;
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                       &size) != ERROR_SUCCESS) {
    return fallback;
  }
  return type == REG_DWORD ? static_cast<long>(data) : 0;
}

LSTATUS WriteRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                           DWORD value) {
  RegistryName name;
  UniqueHKey key;
  const LSTATUS opened = OpenDwordKey(root, subkey, valueName, true, key, name);
  if (opened != ERROR_SUCCESS) return opened;
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LSTATUS DeleteRegistryValue(HKEY root, std::string_view keyPath, std::string_view valueName) {
  RegistryKeyPath path;
  RegistryName name;
  // An empty key path would reach the root key's own values.
  if (keyPath.empty() || !path.Assign(keyPath) || !name.Assign(valueName)) {
    return kRegistryPathRejected;
  }
  {
    UniqueHKey key;
    LSTATUS status = RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive());
    if (status == ERROR_SUCCESS) status = RegDeleteValueA(key.get(), ValueNameArgument(name));
    if (status != ERROR_SUCCESS) return status;
  }
  PruneEmptyKeys(root, path.view());
  return ERROR_SUCCESS;
}

LSTATUS DeleteRegistryValueAt(std::string_view path) {
  RegistryKeyPath keyPath;
  RegistryName name;
  HKEY root = SplitToPredefinedKey(path, keyPath, name);
  if (root == nullptr) return kRegistryPathRejected;
  return DeleteRegistryValue(root, keyPath.view(), name.view());
}

LSTATUS DeleteRegistryKey(std::string_view path) {
  RegistryKeyPath keyPath;
  RegistryName name;
  HKEY root = SplitToPredefinedKey(path, keyPath, name);
  // A key without a name would be its parent: "...\Uninstall\" must never
  // delete every product's registration.
  if (root == nullptr || name.empty()) return kRegistryPathRejected;
  RegistryKeyPath fullPath;
  if (!fullPath.Assign(keyPath.view()) || !fullPath.Append('\\') || !fullPath.Append(name.view())) {
    return kRegistryPathRejected;
  }
  // SHDeleteKeyA removes a key with its subtree; RegDeleteKeyA does that only on
  // the 9x family.
  const UniqueModule shlwapi(NtFlag() ? LoadSystemLibrary("Shlwapi.dll") : nullptr);
  const auto deleteTree = LibraryFunction<DeleteTreeFunction>(shlwapi.get(), "SHDeleteKeyA");
  const LSTATUS status = deleteTree != nullptr ? deleteTree(root, fullPath.c_str())
                                               : RegDeleteKeyA(root, fullPath.c_str());
  if (status != ERROR_SUCCESS) return status;
  PruneEmptyKeys(root, keyPath.view());
  return ERROR_SUCCESS;
}

}  // namespace RegistryAccess
