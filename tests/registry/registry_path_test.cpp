#include "registry/registry_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
  RegistryRoot root;
  std::string keyPath;
  std::string last;
};

Split DoSplit(std::string_view path) {
  RegistryKeyPath keyPath;
  RegistryName last;
  keyPath.Assign("unchanged");
  last.Assign("unchanged");
  const RegistryRoot root = SplitRegistryPath(path, keyPath, last);
  return {root, std::string(keyPath.view()), std::string(last.view())};
}

TEST(RegistryPath, SplitsAtTheLastBackslashUpToTheLimits) {
  const std::string key(1023, 'k');
  const std::string name(259, 'n');
  struct Case {
    std::string path, keyPath, last;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Alpha\\Beta\\Gamma", "Alpha\\Beta", "Gamma"},
      // A trailing backslash names the unnamed value or, for key deletion, a key
      // without a name (which the deletion refuses).
      {"HKEY_CURRENT_USER\\A\\B\\", "A\\B", ""},
      {"HKEY_CURRENT_USER/Alpha\\Beta", "Alpha", "Beta"},  // the separator is not examined
      {"HKEY_CURRENT_USER\\" + key + "\\v", key, "v"},
      {"HKEY_CURRENT_USER\\k\\" + name, "k", name},
  };
  for (const Case& c : cases) {
    const Split split = DoSplit(c.path);
    EXPECT_EQ(split.root, RegistryRoot::kCurrentUser) << c.path;
    EXPECT_EQ(split.keyPath, c.keyPath) << c.path;
    EXPECT_EQ(split.last, c.last) << c.path;
  }
  EXPECT_EQ(DoSplit("HKEY_USERS\\a\\b").root, RegistryRoot::kUsers);
}

TEST(RegistryPath, RejectedPathsLeaveTheBuffersAlone) {
  for (const std::string& path : {
           // Roots are spelled out in capitals.
           std::string("hkey_current_user\\a\\b"), std::string("HKLM\\Software\\x"),
           std::string("HKEY_USER\\a\\b"), std::string("HKEY_LOCAL_MACHINE"),
           std::string("HKEY_LOCAL_MACHINE\\"), std::string(""),
           // Nothing directly below a root, nor through an empty component.
           std::string("HKEY_CURRENT_USER\\Setting"), std::string("HKEY_CURRENT_USER\\\\Setting"),
           std::string("HKEY_CURRENT_USER\\A\\\\Setting"), std::string("HKEY_CURRENT_USER\\\\A\\Setting"),
           std::string("HKEY_CURRENT_USER\\A\\\\B\\Setting"),
           // Too long: rejected, not cut.
           "HKEY_CURRENT_USER\\" + std::string(1024, 'k') + "\\v",
           "HKEY_CURRENT_USER\\k\\" + std::string(260, 'n')}) {
    const Split split = DoSplit(path);
    EXPECT_EQ(split.root, RegistryRoot::kNone) << path;
    EXPECT_EQ(split.keyPath, "unchanged") << path;
    EXPECT_EQ(split.last, "unchanged") << path;
  }
}

}  // namespace
