#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "inputlist/vob_file.hpp"
#include "platform/file_system.hpp"
#include "platform/text_services.hpp"

namespace kavrin {

// One line of lbInputFiles: the path as shown, and its record. The record is
// shared with the saved copy that Cancel restores.
struct InputEntry {
  std::string Text;
  std::shared_ptr<TVobFile> File;
};

// What lbInputFilesClick shows: the group "Audio Streams" and each of its
// eight boxes take `Enabled`; box k shows `Checked[k]`.
struct StreamChoices {
  bool Enabled = false;
  std::array<bool, kStreamCount> Checked{};
};

// The input list behind the drop-down of dxPopupEdit1. The window mirrors it:
// after every operation it refills lbInputFiles from Entries() and sets the
// list box's selection from Selection(). The operations that can do nothing
// return whether they changed the entries or the selection.
class InputList {
 public:
  const std::vector<InputEntry>& Entries() const { return entries_; }
  std::optional<std::size_t> Selection() const { return selection_; }

  // The user selected a line (mouse or keyboard); an index past the end is none.
  void Select(std::optional<std::size_t> index);

  // lbInputFilesClick.
  StreamChoices SelectedStreamChoices() const;

  // cb80Click: `tag` is the box's Tag (0 to 7). Nothing is stored without a
  // selection or for a tag out of range.
  bool StoreStreamChoice(int tag, bool checked);

  // While a batch runs it reads the entries by position, so it locks the
  // list: every change to the entries or their order is refused then. Stream
  // choices stay editable; the batch reads them when it reaches an entry.
  void SetLocked(bool locked) { locked_ = locked; }
  bool Locked() const { return locked_; }

  // BitBtn3Click, with the files the dialog returned in its order. The
  // selection stays.
  bool Add(const std::vector<std::string>& paths);

  // BitBtn4Click, BitBtn5Click, BitBtn7Click.
  bool Delete();
  bool MoveUp();
  bool MoveDown();

  // BitBtn6Click: oldest last-write time first, then path, ignoring case.
  // Throws KavrinError, leaving everything as it was, when a file cannot be
  // looked up.
  bool Sort(FileLookup& files, Collation& collation, ErrorTexts& errors);

  // dxPopupEdit1InitPopup: the saved copy becomes the list as it stands.
  void InitPopup();

  // BitBtn2Click: the saved copy comes back, records and flags as they are
  // now. No entry is selected afterwards.
  bool Cancel();

  // dxPopupEdit1CloseUp: the drop-down field's text, and the state of "Go".
  std::string SummaryText() const;
  bool GoEnabled() const { return !entries_.empty(); }

 private:
  std::vector<InputEntry> entries_;
  std::optional<std::vector<InputEntry>> saved_;
  std::optional<std::size_t> selection_;
  bool locked_ = false;
};

// One step that brings the lines of lbInputFiles to the input list: a line
// deleted, moved, or inserted with its record, or the selection set (-1
// for none).
struct ListEdit {
  enum class Kind { Delete, Move, Insert, Select };
  Kind Step = Kind::Select;
  int Line = -1;
  int To = -1;  // where a moved line goes
  std::string Text;
  TVobFile* Record = nullptr;
};

// The steps that turn lines holding the records `shown`, in order, into the
// list's entries and its selection, in place, so that the box keeps its
// view: lines of entries that are gone are deleted, the others moved into
// order, new ones inserted; the selection comes last. Each record belongs
// to one entry, so it names its line. `shown` ends as the list is.
std::vector<ListEdit> MirrorEdits(std::vector<const TVobFile*>& shown, const InputList& list);

// "YYYYMMDDHHNNSS" followed directly by the path.
std::string SortKey(const DateTime& time, const std::string& path);

}  // namespace kavrin
