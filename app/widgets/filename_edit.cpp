#include "app/widgets/filename_edit.hpp"

#include "app/widgets/handler_dispatch.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"
#include "core/widget_rules.hpp"

namespace kavrin {

void TFilenameEdit::Create(const Host& host, const CreateArgs& args) {
  dialog_.title = "Browse";
  dialog_.filter = args.filter;
  dialog_.hideReadOnly = true;
  CreateField(host, args.bounds, "", false, TEditButton::Glyph::Ellipsis);
  SetEnabled(args.enabled);
}

std::string TFilenameEdit::FileName() const {
  const std::string text = Text();
  return FileNameReading(text, folders_.NamesExistingFile(text));
}

void TFilenameEdit::SetFileName(const std::string& value) {
  // Throws before the text is touched.
  SetText(FileNameFieldText(value, folders_.NamesExistingFile(value)));
}

void TFilenameEdit::ButtonClick() {
  const FileBrowseStart start =
      StartOfFileBrowse(FileName(), [this](const std::string& path) { return folders_.NamesExistingFolder(path); });
  if (start.initialDir) dialog_.initialDir = *start.initialDir;
  if (start.fileName) dialog_.fileName = *start.fileName;
  const bool chosen = dialog_.Execute(OwnerOf(hwnd_));
  FocusIfPossible();
  if (!chosen) return;
  SetText(QuotedIfBlank(dialog_.fileName));
  dialog_.initialDir = ExtractFileDir(dialog_.fileName);
}

void TDirectoryEdit::Create(const Host& host, const CreateArgs& args) {
  options_ = args.options;
  CreateField(host, args.bounds, "", false, TEditButton::Glyph::Ellipsis);
}

void TDirectoryEdit::ButtonClick() {
  std::string folder = StartOfFolderBrowse(
      Text(), lastChosenFolder_, [this](const std::string& path) { return folders_.NamesExistingFolder(path); });
  const bool chosen = SelectDirectory(OwnerOf(hwnd_), folder, options_, folders_);
  FocusIfPossible();
  if (!chosen) return;
  SetText(folder);
  if (folders_.NamesExistingFolder(folder)) lastChosenFolder_ = folder;
}

}  // namespace kavrin
