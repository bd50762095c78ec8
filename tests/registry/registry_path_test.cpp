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

TEST(RegistryPath, SplitsAtTheLastBackslash) {
  const Split split = DoSplit("HKEY_CURRENT_USER\\Alpha\\Beta\\Gamma");
  EXPECT_EQ(split.root, RegistryRoot::kCurrentUser);
  EXPECT_EQ(split.keyPath, "Alpha\\Beta");
  EXPECT_EQ(split.last, "Gamma");
  EXPECT_EQ(DoSplit("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Uninstall\\Tool\\UninstallString").keyPath,
            "SOFTWARE\\X\\Uninstall\\Tool");
  EXPECT_EQ(DoSplit("HKEY_CLASSES_ROOT\\.txt\\(default)").last, "(default)");
}

TEST(RegistryPath, EveryRootInTheTable) {
  EXPECT_EQ(DoSplit("HKEY_CLASSES_ROOT\\a\\b").root, RegistryRoot::kClassesRoot);
  EXPECT_EQ(DoSplit("HKEY_CURRENT_CONFIG\\a\\b").root, RegistryRoot::kCurrentConfig);
  EXPECT_EQ(DoSplit("HKEY_LOCAL_MACHINE\\a\\b").root, RegistryRoot::kLocalMachine);
  EXPECT_EQ(DoSplit("HKEY_USERS\\a\\b").root, RegistryRoot::kUsers);
  EXPECT_EQ(DoSplit("HKEY_PERFORMANCE_DATA\\a\\b").root, RegistryRoot::kPerformanceData);
  EXPECT_EQ(DoSplit("HKEY_DYN_DATA\\a\\b").root, RegistryRoot::kDynData);
}

TEST(RegistryPath, UnknownRootsAreRejectedAndTheBuffersKept) {
  for (const char* path : {"hkey_current_user\\a\\b", "HKLM\\Software\\x", "HKEY_LOCAL_MACHINE",
                           "HKEY_LOCAL_MACHINE\\", "", "HKEY_USER\\a\\b"}) {
    const Split split = DoSplit(path);
    EXPECT_EQ(split.root, RegistryRoot::kNone) << path;
    EXPECT_EQ(split.keyPath, "unchanged") << path;
    EXPECT_EQ(split.last, "unchanged") << path;
  }
}

TEST(RegistryPath, NothingDirectlyBelowARootOrThroughAnEmptyComponent) {
  for (const char* path : {"HKEY_CURRENT_USER\\Setting", "HKEY_CURRENT_USER\\\\Setting",
                           "HKEY_CURRENT_USER\\A\\\\Setting", "HKEY_CURRENT_USER\\\\A\\Setting",
                           "HKEY_CURRENT_USER\\A\\\\\\Setting"}) {
    EXPECT_EQ(DoSplit(path).root, RegistryRoot::kNone) << path;
  }
  // A trailing backslash names the key's unnamed value or, for key deletion,
  // a key without a name (which the deletion refuses).
  const Split split = DoSplit("HKEY_CURRENT_USER\\A\\B\\");
  EXPECT_EQ(split.root, RegistryRoot::kCurrentUser);
  EXPECT_EQ(split.keyPath, "A\\B");
  EXPECT_EQ(split.last, "");
}

TEST(RegistryPath, TheSeparatorAfterTheRootIsNotExamined) {
  const Split split = DoSplit("HKEY_CURRENT_USER/Alpha\\Beta");
  EXPECT_EQ(split.root, RegistryRoot::kCurrentUser);
  EXPECT_EQ(split.keyPath, "Alpha");
}

TEST(RegistryPath, LimitsAreRejectedNotCut) {
  const std::string key(1023, 'k');
  EXPECT_EQ(DoSplit("HKEY_CURRENT_USER\\" + key + "\\v").keyPath, key);
  EXPECT_EQ(DoSplit("HKEY_CURRENT_USER\\" + key + "k\\v").root, RegistryRoot::kNone);
  const std::string name(259, 'n');
  EXPECT_EQ(DoSplit("HKEY_CURRENT_USER\\k\\" + name).last, name);
  EXPECT_EQ(DoSplit("HKEY_CURRENT_USER\\k\\" + name + "n").root, RegistryRoot::kNone);
}

TEST(RegistryPath, DefaultValueNameInAnyCase) {
  EXPECT_TRUE(IsDefaultValueName("(default)"));
  EXPECT_TRUE(IsDefaultValueName("(DEFAULT)"));
  EXPECT_FALSE(IsDefaultValueName("default"));
  EXPECT_FALSE(IsDefaultValueName("(default) "));
}

}  // namespace
