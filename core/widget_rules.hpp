#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules the window's widgets follow that need no window: where the
// drop-down goes, how the file dialogs' texts are packed and unpacked, and
// where the browse dialogs start.
namespace kavrin {

// Screen pixels; right and bottom lie just outside.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The drop-down of `field`, `width` by `height` pixels: below the field with
// the left edges aligned; above it when it would leave the work area at the
// bottom and there is more room above; right-aligned with the field when it
// is wider, would leave the work area at the right and there is more room
// to the left.
PixelRect PlaceDropDown(const PixelRect& field, int width, int height, const PixelRect& workArea);

// "Name|pattern|Name|pattern" in the form the system's dialogs take: each
// "|" a NUL, ended by two NULs.
std::string DialogFilter(std::string_view filter);

// The extension the system appends to a typed name: without the "*." that
// the filter form of it carries.
std::string DialogDefaultExtension(std::string_view defaultExt);

// The files an explorer-style open dialog returned in its buffer: one full
// path, or a folder followed by names, each ended by a NUL, the last by two.
std::vector<std::string> DialogFiles(std::string_view buffer);

// A browsed path as a file-name field shows it: in double quotes when it holds
// a blank and does not already begin with one.
std::string QuotedIfBlank(const std::string& path);

using FolderExists = std::function<bool(const std::string& folder)>;

// Where a file-name field's dialog starts, from the field's FileName reading.
struct FileBrowseStart {
  std::optional<std::string> initialDir;  // none: keep the dialog's own
  std::optional<std::string> fileName;    // none: keep the dialog's own
};
FileBrowseStart StartOfFileBrowse(const std::string& reading, const FolderExists& folderExists);

// The folder a folder field's dialog opens at: the field's text, else the
// folder it last chose, else the root of the current drive; the root too when
// the start is no existing folder.
std::string StartOfFolderBrowse(const std::string& text, const std::string& lastChosen,
                                const FolderExists& folderExists);

// The folders to create, outermost first, so that `folder` exists with all
// its parents. A trailing delimiter is ignored; a root is never created.
std::vector<std::string> MissingFolders(const std::string& folder, const FolderExists& folderExists);

}  // namespace kavrin
