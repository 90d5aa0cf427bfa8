#include <windows.h>
#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_dropped_files.hpp"

namespace kavrin::win32 {
namespace {

// A drop block as the shell hands it over: the header, then each name with
// its zero, then one more zero.
HDROP MakeDrop(const std::vector<std::string>& names) {
  std::string block(sizeof(DROPFILES), '\0');
  for (const std::string& name : names) block += name + '\0';
  block += '\0';
  DROPFILES header{};
  header.pFiles = sizeof header;
  std::memcpy(block.data(), &header, sizeof header);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, block.size());
  if (memory == nullptr) return nullptr;
  std::memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(DroppedFileNames, KeepsTheDroppedOrderAndWholeNames) {
  // A name longer than MAX_PATH must come through uncut.
  const std::string longName = "C:\\" + std::string(300, 'x') + "\\VTS_01_1.VOB";
  const struct {
    const char* what;
    std::vector<std::string> names;
  } cases[] = {
      {"none", {}},
      {"one", {"C:\\Film\\VTS_01_1.VOB"}},
      {"in dropped order, not sorted", {"D:\\z.ac3", "C:\\a b\\m.vob", "C:\\a.VOB"}},
      {"longer than MAX_PATH", {longName, "C:\\short.ac3"}},
  };
  for (const auto& c : cases) {
    const UniqueDrop drop(MakeDrop(c.names));
    ASSERT_NE(drop.Get(), nullptr);
    EXPECT_EQ(DroppedFileNames(drop.Get()), c.names) << c.what;
  }
}

}  // namespace
}  // namespace kavrin::win32
