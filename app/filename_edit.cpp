#include "app/filename_edit.hpp"

#include "settings/file_name_rules.hpp"

namespace kavrin {

bool NamesExistingFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void TFilenameEdit::Create(const Host& host, const CreateArgs& args) {
  dialog_.title = "Browse";
  dialog_.filter = args.filter;
  dialog_.hideReadOnly = true;
  CreateField(host, args.bounds, "", false, TEditButton::Glyph::Ellipsis);
  SetEnabled(args.enabled);
}

std::string TFilenameEdit::FileName() const {
  const std::string text = Text();
  return FileNameReading(text, NamesExistingFile(text));
}

void TFilenameEdit::SetFileName(const std::string& value) {
  // Throws before the text is touched.
  SetText(FileNameFieldText(value, NamesExistingFile(value)));
}

// The browse dialogs are not wired yet; the button and Alt+Down land here.
void TFilenameEdit::ButtonClick() {}

void TDirectoryEdit::Create(const Host& host, const CreateArgs& args) {
  options_ = args.options;
  CreateField(host, args.bounds, "", false, TEditButton::Glyph::Ellipsis);
}

void TDirectoryEdit::ButtonClick() {}

}  // namespace kavrin
