#pragma once

#include <string>

#include "app/widgets/edit_button.hpp"
#include "app/widgets/open_dialog.hpp"
#include "app/widgets/select_directory.hpp"

namespace kavrin {

// An edit for a file name with a browse button. Besides the raw Text it has
// the FileName reading: the text when it names an existing file, otherwise
// its first word by command-line rules.
class TFilenameEdit : public TButtonEdit {
 public:
  explicit TFilenameEdit(Folders& folders) : folders_(folders), dialog_(folders) {}

  static constexpr const char* kDefaultFilter = "All files (*.*)|*.*";

  struct CreateArgs {
    Bounds bounds;
    std::string filter = kDefaultFilter;
    bool enabled = true;
  };
  void Create(const Host& host, const CreateArgs& args);

  std::string FileName() const;
  // Throws KavrinError("Invalid file name - %s") and keeps the text when the
  // value's reading is not a valid file name.
  void SetFileName(const std::string& value);

  // The field's own dialog, kept for the life of the field so that its
  // initial folder carries over from one browse to the next.
  TOpenDialog& Dialog() { return dialog_; }

 protected:
  void ButtonClick() override;

 private:
  Folders& folders_;
  TOpenDialog dialog_;
};

// An edit for a folder with a browse button; read and written as Text only.
class TDirectoryEdit : public TButtonEdit {
 public:
  explicit TDirectoryEdit(Folders& folders) : folders_(folders) {}

  using Options = SelectDirOptions;
  struct CreateArgs {
    Bounds bounds;
    Options options;
  };
  void Create(const Host& host, const CreateArgs& args);

  const Options& DialogOptions() const { return options_; }

 protected:
  void ButtonClick() override;

 private:
  Folders& folders_;
  Options options_;
  std::string lastChosenFolder_;
};

}  // namespace kavrin
