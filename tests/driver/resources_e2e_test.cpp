#include <windows.h>
#include <gtest/gtest.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/resource_ids.h"
#include "core/text.hpp"
#include "harness.hpp"
#include "kavrin_version.h"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

// The modules loaded in another process, by full path.
std::vector<std::string> ModulePaths(HANDLE process) {
  std::vector<HMODULE> modules(256);
  DWORD needed = 0;
  for (;;) {
    const auto bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!EnumProcessModulesEx(process, modules.data(), bytes, &needed, LIST_MODULES_ALL)) return {};
    if (needed <= bytes) break;
    modules.resize(needed / sizeof(HMODULE));
  }
  modules.resize(needed / sizeof(HMODULE));
  std::vector<std::string> paths;
  for (HMODULE module : modules) {
    std::string path(MAX_PATH, '\0');
    for (;;) {
      const DWORD length = GetModuleFileNameExA(process, module, path.data(), static_cast<DWORD>(path.size()));
      if (length == 0) {
        path.clear();
        break;
      }
      if (length < path.size() - 1) {
        path.resize(length);
        break;
      }
      path.resize(path.size() * 2);
    }
    if (!path.empty()) paths.push_back(path);
  }
  return paths;
}

// One file's version resource, read as any program would.
class VersionInfo {
 public:
  explicit VersionInfo(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data_.data())) data_.clear();
  }

  bool Present() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* value = nullptr;
    UINT length = 0;
    if (!Present() || !VerQueryValueA(data_.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
      return nullptr;
    }
    return static_cast<const VS_FIXEDFILEINFO*>(value);
  }

  // A string of the first translation the resource lists.
  std::string String(const std::string& name) const {
    struct Translation {
      WORD language;
      WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!Present() || !VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
      return std::string();
    }
    const auto* translation = static_cast<const Translation*>(value);
    char block[64];
    wsprintfA(block, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
    if (!VerQueryValueA(data_.data(), (block + name).c_str(), &value, &length) || length == 0) return std::string();
    // The length counts the terminating zero.
    return std::string(static_cast<const char*>(value), length - 1);
  }

 private:
  std::vector<char> data_;
};

std::string FileVersionText(const VS_FIXEDFILEINFO& fixed) {
  return std::to_string(HIWORD(fixed.dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed.dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed.dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed.dwFileVersionLS));
}

// The bytes of one resource; empty when there is none.
std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name) {
  if (module == nullptr) return std::string();
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return std::string();
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

#pragma pack(push, 2)
struct IconGroupHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
struct IconGroupEntry {
  BYTE width;
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

using ResourcesE2e = KavrinTest;

// Visual styles come only with version 6 of the common controls, and only
// the manifest brings it into the process. Two signs, each of which the
// process without the manifest lacks: comctl32 is loaded from the
// side-by-side folder of the version 6 assembly (the file's own version
// resource cannot tell: Wine's says 5.81 in both places), and a push button
// answers BCM_GETIDEALSIZE, which only the version 6 button knows.
TEST_F(ResourcesE2e, ManifestBringsCommonControlsSix) {
  StartAndFindWindow();
  std::string comctl32;
  std::string loaded;
  for (const std::string& path : ModulePaths(kavrin_.Handle())) {
    loaded += "\n  " + path;
    if (UpperAscii(ExtractFileName(path)) == "COMCTL32.DLL") comctl32 = path;
  }
  ASSERT_FALSE(comctl32.empty()) << "no comctl32.dll among the modules of kavrin.exe:" << loaded;
  const std::string assembly = UpperAscii(ExtractFileName(ExtractFileDir(comctl32)));
  EXPECT_NE(assembly.find("MICROSOFT.WINDOWS.COMMON-CONTROLS_"), std::string::npos) << comctl32;
  EXPECT_NE(assembly.find("_6."), std::string::npos) << comctl32;

  const win32::RemoteMemory size = LendMemory(kavrin_.Handle(), sizeof(SIZE));
  ASSERT_NE(size.Get().address, nullptr);
  DWORD_PTR answered = 0;
  ASSERT_NE(SendMessageTimeoutA(window_.Button1, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(size.Get().address),
                                SMTO_ABORTIFHUNG, static_cast<UINT>(kReactBound.count()), &answered),
            0);
  SIZE ideal{};
  ASSERT_TRUE(ReadRemote(size, &ideal, sizeof ideal));
  EXPECT_TRUE(answered) << "the \"Go\" button is not a version 6 button";
  EXPECT_GT(ideal.cx, 0);
  EXPECT_GT(ideal.cy, 0);
  CloseAndWaitForExit();
}

TEST_F(ResourcesE2e, VersionResourceReadsBack) {
  const VersionInfo info(kavrin_.ExePath());
  ASSERT_TRUE(info.Present()) << kavrin_.ExePath() << " has no version resource";
  const VS_FIXEDFILEINFO* fixed = info.Fixed();
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const std::string number = std::to_string(KAVRIN_VERSION_MAJOR) + "." + std::to_string(KAVRIN_VERSION_MINOR) + "." +
                             std::to_string(KAVRIN_VERSION_PATCH) + ".0";
  EXPECT_EQ(FileVersionText(*fixed), number);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  struct Row {
    const char* name;
    std::string text;
  };
  for (const Row& row : std::vector<Row>{{"ProductName", "Kavrin"},
                                         {"OriginalFilename", "kavrin.exe"},
                                         {"InternalName", "kavrin"},
                                         {"FileVersion", KAVRIN_VERSION_TEXT},
                                         {"ProductVersion", KAVRIN_VERSION_TEXT}}) {
    EXPECT_EQ(info.String(row.name), row.text) << row.name;
  }
  EXPECT_FALSE(info.String("FileDescription").empty());
}

// The icon group holds the four sizes, each image decodes (the largest is a
// PNG), and the load the window class makes succeeds.
TEST_F(ResourcesE2e, IconHasEverySizeAndLoads) {
  {
    // Opened for its resources only.
    const win32::UniqueModule exe(
        LoadLibraryExA(kavrin_.ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_NE(exe.Get(), nullptr) << "cannot open " << kavrin_.ExePath() << ": error " << GetLastError();
    std::string group = ResourceBytes(exe.Get(), RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_KAVRIN));
    ASSERT_GE(group.size(), sizeof(IconGroupHeader)) << "no icon group " << IDI_KAVRIN;
    IconGroupHeader header{};
    memcpy(&header, group.data(), sizeof header);
    ASSERT_EQ(group.size(), sizeof header + header.count * sizeof(IconGroupEntry));
    std::vector<int> sizes;
    for (WORD i = 0; i < header.count; ++i) {
      IconGroupEntry entry{};
      memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
      const int size = entry.width == 0 ? 256 : entry.width;
      sizes.push_back(size);
      EXPECT_EQ(entry.bitCount, 32) << size << " px";
      std::string image = ResourceBytes(exe.Get(), RT_ICON, MAKEINTRESOURCEA(entry.id));
      ASSERT_EQ(image.size(), entry.bytes) << size << " px";
      const win32::UniqueIcon icon(CreateIconFromResourceEx(reinterpret_cast<PBYTE>(image.data()),
                                                            static_cast<DWORD>(image.size()), TRUE, 0x00030000, size,
                                                            size, LR_DEFAULTCOLOR));
      EXPECT_NE(icon.Get(), nullptr) << "the " << size << " px image does not decode";
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

    for (const auto& [width, height] : {std::pair{SM_CXICON, SM_CYICON}, std::pair{SM_CXSMICON, SM_CYSMICON}}) {
      const win32::UniqueIcon icon(static_cast<HICON>(LoadImageA(
          exe.Get(), MAKEINTRESOURCEA(IDI_KAVRIN), IMAGE_ICON, GetSystemMetrics(width), GetSystemMetrics(height), 0)));
      EXPECT_NE(icon.Get(), nullptr) << GetSystemMetrics(width) << " px";
    }
  }

  // Windows lets another process read a window's class icon; Wine answers
  // ERROR_INVALID_HANDLE, and then only the resource checks above remain.
  StartAndFindWindow();
  SetLastError(ERROR_SUCCESS);
  const ULONG_PTR big = GetClassLongPtrA(window_.fKavrin, GCLP_HICON);
  if (big != 0 || GetLastError() != ERROR_INVALID_HANDLE) {
    EXPECT_NE(big, 0u) << "the main window's class has no icon";
    EXPECT_NE(GetClassLongPtrA(window_.fKavrin, GCLP_HICONSM), 0u) << "the main window's class has no small icon";
  } else {
    RecordProperty("class_icon", "not readable from another process here");
  }
  CloseAndWaitForExit();
}

}  // namespace
}  // namespace kavrin::e2e
