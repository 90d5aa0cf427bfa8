#include "inputlist/input_list.hpp"

#include <algorithm>
#include <utility>

#include "core/error.hpp"
#include "core/text.hpp"

namespace kavrin {

void InputList::Select(std::optional<std::size_t> index) {
  selection_ = index && *index < entries_.size() ? index : std::nullopt;
}

StreamChoices InputList::SelectedStreamChoices() const {
  StreamChoices choices;
  if (!selection_ || !IsVobFile(entries_[*selection_].Text)) return choices;
  choices.Enabled = true;
  choices.Checked = entries_[*selection_].File->Streams;
  return choices;
}

bool InputList::StoreStreamChoice(int tag, bool checked) {
  if (!selection_ || tag < 0 || tag >= kStreamCount) return false;
  entries_[*selection_].File->Streams[static_cast<std::size_t>(tag)] = checked;
  return true;
}

bool InputList::Add(const std::vector<std::string>& paths) {
  if (locked_) return false;
  for (const std::string& path : paths) {
    auto file = std::make_shared<TVobFile>();
    file->Path = path;
    file->Streams[0] = true;
    entries_.push_back({path, std::move(file)});
  }
  return !paths.empty();
}

bool InputList::Delete() {
  if (locked_ || !selection_) return false;
  // Only the entry goes: the saved copy may still hold the record.
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*selection_));
  selection_.reset();
  return true;
}

bool InputList::MoveUp() {
  if (locked_ || !selection_ || *selection_ == 0) return false;
  std::swap(entries_[*selection_], entries_[*selection_ - 1]);
  --*selection_;
  return true;
}

bool InputList::MoveDown() {
  if (locked_ || !selection_ || *selection_ + 1 >= entries_.size()) return false;
  std::swap(entries_[*selection_], entries_[*selection_ + 1]);
  ++*selection_;
  return true;
}

bool InputList::Sort(FileLookup& files, Collation& collation, ErrorTexts& errors) {
  if (locked_) return false;
  // Every key first, so that a missing file leaves the list untouched.
  std::vector<std::string> keys;
  keys.reserve(entries_.size());
  for (const InputEntry& entry : entries_) {
    DateTime time;
    std::uint32_t code = 0;
    if (!files.LastWriteTimeUtc(entry.Text, time, code)) throw KavrinError(SystemErrorMessage(code, errors));
    keys.push_back(SortKey(time, entry.Text));
  }

  // Each entry goes in front of the keys equal to its own, so equal keys
  // come out in reverse order.
  std::vector<std::size_t> order;
  order.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const auto at = std::lower_bound(order.begin(), order.end(), i, [&](std::size_t placed, std::size_t added) {
      return collation.CompareIgnoreCase(keys[placed], keys[added]) < 0;
    });
    order.insert(at, i);
  }

  std::vector<InputEntry> sorted;
  sorted.reserve(entries_.size());
  for (std::size_t i : order) sorted.push_back(std::move(entries_[i]));
  entries_ = std::move(sorted);
  selection_.reset();
  return true;
}

void InputList::InitPopup() { saved_ = entries_; }

bool InputList::Cancel() {
  selection_.reset();
  if (locked_ || !saved_) return false;
  entries_ = *saved_;
  return true;
}

std::string InputList::SummaryText() const {
  const std::size_t count = entries_.size();
  return std::to_string(count) + (count == 1 ? " file selected" : " files selected");
}

std::string SortKey(const DateTime& time, const std::string& path) {
  return ZeroPad(time.year, 4) + ZeroPad(time.month, 2) + ZeroPad(time.day, 2) + ZeroPad(time.hour, 2) +
         ZeroPad(time.minute, 2) + ZeroPad(time.second, 2) + path;
}

std::vector<ListEdit> MirrorEdits(std::vector<const TVobFile*>& shown, const InputList& list) {
  using Kind = ListEdit::Kind;
  const std::vector<InputEntry>& entries = list.Entries();
  std::vector<ListEdit> edits;
  const auto listed = [&](const TVobFile* record) {
    return std::any_of(entries.begin(), entries.end(),
                       [record](const InputEntry& entry) { return entry.File.get() == record; });
  };
  for (int line = static_cast<int>(shown.size()) - 1; line >= 0; --line) {
    if (listed(shown[static_cast<std::size_t>(line)])) continue;
    edits.push_back({Kind::Delete, line, -1, {}, nullptr});
    shown.erase(shown.begin() + line);
  }
  for (std::size_t index = 0; index < entries.size(); ++index) {
    TVobFile* const record = entries[index].File.get();
    if (index < shown.size() && shown[index] == record) continue;
    const auto from = std::find(shown.begin() + static_cast<std::ptrdiff_t>(index), shown.end(), record);
    if (from != shown.end()) {
      edits.push_back({Kind::Move, static_cast<int>(from - shown.begin()), static_cast<int>(index), {}, nullptr});
      shown.erase(from);
    } else {
      edits.push_back({Kind::Insert, static_cast<int>(index), -1, entries[index].Text, record});
    }
    shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(index), record);
  }
  const std::optional<std::size_t> selection = list.Selection();
  edits.push_back({Kind::Select, selection ? static_cast<int>(*selection) : -1, -1, {}, nullptr});
  return edits;
}

}  // namespace kavrin
