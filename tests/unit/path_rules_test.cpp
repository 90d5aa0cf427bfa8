#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/code_page.hpp"
#include "core/path_rules.hpp"
#include "fakes/fake_code_page.hpp"

namespace kavrin {
namespace {

using Folders = std::vector<std::string>;

// In code page 932, 0x95 0x5C is one character: its second byte is no backslash.
TEST(PathRules, DriveRootAndFoldersOnThePath) {
  const fakes::FakeCodePage932 codePage932;
  const struct {
    bool cp932;
    const char* path;
    bool drive;
    size_t root;
    Folders folders;
  } rows[] = {
      {false, "C:\\Audio\\Film", true, 3, {"C:\\", "C:\\Audio", "C:\\Audio\\Film"}},
      {false, "c:\\Audio\\", true, 3, {"c:\\", "c:\\Audio"}},
      {false, "C:\\", true, 3, {"C:\\"}},
      {false, "C:", true, 2, {"C:\\"}},
      {false, "1:\\x", false, 3, {"1:\\", "1:\\x"}},
      {false, "\\\\server\\share\\Audio", false, 15, {"\\\\server\\share\\", "\\\\server\\share\\Audio"}},
      {false, "\\\\server\\share", false, 14, {"\\\\server\\share\\"}},
      {false, "\\Audio", false, 1, {"\\", "\\Audio"}},
      {false, "Audio\\Film", false, 0, {"\\", "Audio", "Audio\\Film"}},
      {false, "", false, 0, {"\\"}},
      {false, "C:\\\x95\x5C", true, 3, {"C:\\", "C:\\\x95"}},
      {true, "C:\\\x95\x5C", true, 3, {"C:\\", "C:\\\x95\x5C"}},
      {true, "\\\\\x95\x5C\\share\\x", false, 11, {"\\\\\x95\x5C\\share\\", "\\\\\x95\x5C\\share\\x"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    std::optional<ScopedCodePage> installed;
    if (row.cp932) installed.emplace(codePage932);
    EXPECT_EQ(StartsWithDrive(row.path), row.drive);
    EXPECT_EQ(RootLength(row.path), row.root);
    EXPECT_EQ(FoldersOnPath(row.path), row.folders);
  }
}

}  // namespace
}  // namespace kavrin
