#include "fakes/fake_batch_form.hpp"

#include "core/error.hpp"

namespace kavrin::fakes {

namespace {
void Note(std::vector<std::string>* journal, const std::string& entry) {
  if (journal != nullptr) journal->push_back(entry);
}
}  // namespace

JobSettings SampleSettings() {
  JobSettings settings;
  settings.BeSweetPath = "C:\\Tools\\BeSweet.exe";
  settings.SurCodePath = "C:\\Program Files\\SurCode\\surcodedts.exe";
  settings.TempFolderText = "C:\\Temp";
  settings.FinalFolderText = "D:\\CD";
  settings.SsrcFixed = "--rate 44100";
  return settings;
}

bool FakeBatchForm::InputEntryText(int index, std::string& text) {
  if (index < 0 || index >= static_cast<int>(entries.size())) return false;
  text = entries[index].Path;
  return true;
}

bool FakeBatchForm::InputEntryStream(int index, int stream, bool& selected) {
  if (index < 0 || index >= static_cast<int>(entries.size()) || stream < 0 || stream >= kStreamCount) return false;
  selected = entries[index].Streams[stream];
  return true;
}

void FakeBatchForm::ShowFinishedMessage(const std::string& text, bool warning) {
  ++finishedMessages;
  finishedText = text;
  finishedWarning = warning;
  Note(journal, text);
  if (onFinishedMessage) onFinishedMessage();
}

void FakeBatchForm::ShowAnotherBatchRunning() {
  ++refusals;
  Note(journal, "Another batch is running");
}

void FakeBatchForm::ShutdownComputer() {
  ++shutdowns;
  Note(journal, "ShutdownComputer");
}

void FakeBatchForm::AddEntry(const std::string& path, const std::vector<int>& streams) {
  TVobFile record;
  record.Path = path;
  for (int stream : streams) record.Streams[stream] = true;
  entries.push_back(record);
}

void FakeEncoderStage::CreateWindowList() { Note(journal, "CreateWindowList"); }

void FakeEncoderStage::ReleaseWindowList() { Note(journal, "ReleaseWindowList"); }

void FakeEncoderStage::BackupEncoderOptions() {
  Note(journal, "BackupEncoderOptions");
  if (throwOnBackup) throw KavrinError("Invalid data type for 'WAVEFILE1'");
}

bool FakeEncoderStage::PrepareSurCodeJob(const Job& job, BatchStatus&) {
  Note(journal, "PrepareSurCodeJob " + job.TempFolder);
  return !failPrepare;
}

bool FakeEncoderStage::RunSurCodeJob(const Job& job, BatchStatus&) {
  ++jobs;
  Note(journal,
       "RunSurCodeJob " + job.TrackName + " " + std::to_string(job.OutputNumber) + " " + std::to_string(job.Entry + 1));
  if (throwOnJob == jobs) throw KavrinError("Failed to set data for 'WAVEFILE7'");
  if (skipJob == jobs) return false;
  if (onJob) onJob(job);
  return true;
}

void FakeEncoderStage::RestoreEncoderOptions() {
  Note(journal, "RestoreEncoderOptions");
  if (throwOnRestore) throw KavrinError("Failed to set data for 'WAVEFILE1'");
}

void FakeEncoderStage::RestoreEncoderOptionsNow() { Note(journal, "RestoreEncoderOptionsNow"); }

}  // namespace kavrin::fakes
