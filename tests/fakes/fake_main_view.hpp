#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/error.hpp"
#include "model/main_view.hpp"

namespace kavrin::fakes {

// The main window as its model sees it: the settings as fields, and every
// request noted as one line ("FormClose", "Box Finished: <text>", "Lock 1 0").
class FakeMainView final : public MainView {
 public:
  BatchMode ReadMode() override { return mode; }
  JobSettings ReadJobSettings() override { return settings; }
  void ShowBox(const std::string& text, Box box) override {
    static const char* const kinds[] = {"Finished", "FinishedWithWarning", "Error", "AnotherBatch"};
    calls.push_back(std::string("Box ") + kinds[static_cast<int>(box)] + ": " + text);
    if (onBox) onBox();
  }
  void FormClose() override {
    calls.push_back(failStore ? "FormClose failed" : "FormClose");
    if (failStore) throw KavrinError("Unable to write to Kavrin.ini");
  }
  void EndProgram() override { calls.push_back("EndProgram"); }
  void DestroyForm() override { calls.push_back("DestroyForm"); }
  void ShowListLock(bool locked, bool goEnabled) override {
    calls.push_back("Lock " + std::to_string(locked) + " " + std::to_string(goEnabled));
  }
  void EditInputList(const ListEdit& edit) override { edits.push_back(edit); }
  void ShowStreamChoices(const StreamChoices& shown) override { choices = shown; }

  BatchMode mode = BatchMode::Ac3Cd;
  JobSettings settings;
  bool failStore = false;
  // Runs inside a box, as a close can come while it shows.
  std::function<void()> onBox;
  std::vector<std::string> calls;
  std::vector<ListEdit> edits;
  StreamChoices choices;
};

}  // namespace kavrin::fakes
