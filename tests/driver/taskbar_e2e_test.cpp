// The taskbar progress of a batch, read from a recording taskbar list that is
// registered for the current user in place of the shell's own. The values
// themselves are worked out by the core, against a fake; here the calls must
// reach the interface, for kavrin.exe's window, and end cleared.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch_test.hpp"
#include "core/text.hpp"
#include "platform/win32/win32_profile.hpp"

namespace kavrin::e2e {
namespace {

constexpr char kTaskbarListClass[] = "Software\\Classes\\CLSID\\{56FDF344-FD6D-11d0-958A-006097C9A090}";

// Built beside this driver: tests\driver\e2e_tests.exe and tests\tools\taskbar_recorder.
std::string RecorderDll() {
  return ExtractFileDir(ExtractFileDir(win32::Win32ProgramLocation().ExecutablePath())) +
         "\\tools\\taskbar_recorder\\taskbar_recorder.dll";
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool SetString(HKEY root, const std::string& key, const char* name, const std::string& text) {
  win32::UniqueHkey opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.Receive(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::string GetString(HKEY root, const std::string& key) {
  char text[MAX_PATH] = {};
  DWORD size = sizeof text - 1;
  if (RegGetValueA(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return {};
  return text;
}

// The recorder as the taskbar list's server. Windows lets a class of the
// current user override the machine's; Wine reads the machine's alone, so
// under Wine that one is pointed at the recorder too and put back after.
class RecorderRegistration {
 public:
  RecorderRegistration() = default;
  RecorderRegistration(const RecorderRegistration&) = delete;
  RecorderRegistration& operator=(const RecorderRegistration&) = delete;
  ~RecorderRegistration() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTaskbarListClass);
    if (!machineServer_.empty()) SetString(HKEY_LOCAL_MACHINE, ServerKey(), nullptr, machineServer_);
  }

  ::testing::AssertionResult Register(const std::string& dll) {
    if (!SetString(HKEY_CURRENT_USER, ServerKey(), nullptr, dll) ||
        !SetString(HKEY_CURRENT_USER, ServerKey(), "ThreadingModel", "Apartment")) {
      return ::testing::AssertionFailure() << "could not register the recorder for the current user";
    }
    if (!UnderWine()) return ::testing::AssertionSuccess();
    machineServer_ = GetString(HKEY_LOCAL_MACHINE, ServerKey());
    // A run that was ended before it could put the server back.
    if (machineServer_.empty() || machineServer_.find("taskbar_recorder") != std::string::npos) {
      machineServer_ = "C:\\windows\\system32\\explorerframe.dll";
    }
    if (!SetString(HKEY_LOCAL_MACHINE, ServerKey(), nullptr, dll)) {
      return ::testing::AssertionFailure() << "could not point the machine's taskbar list at the recorder";
    }
    return ::testing::AssertionSuccess();
  }

 private:
  static std::string ServerKey() { return std::string(kTaskbarListClass) + "\\InprocServer32"; }

  std::string machineServer_;
};

class TaskbarE2e : public BatchTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BatchTest::SetUp());
    ASSERT_TRUE(FileExists(RecorderDll())) << "no recorder at " << RecorderDll();
    ASSERT_TRUE(registration_.Register(RecorderDll()));
    SetEnvironmentVariableA("KAVRIN_TASKBAR_RECORD", Calls().c_str());
  }

  void TearDown() override {
    SetEnvironmentVariableA("KAVRIN_TASKBAR_RECORD", nullptr);
    BatchTest::TearDown();
  }

  std::string Calls() const { return folder_.File("taskbar.txt"); }
  std::vector<std::string> RecordedCalls() const { return TextLines(ReadFileBytes(Calls())); }
  // The batch lets go of the taskbar list just after its last message box has closed.
  std::vector<std::string> CallsOnceReleased() const {
    WaitFor([&] { return !RecordedCalls().empty() && RecordedCalls().back() == "Release"; }, kReactBound,
            "the taskbar list to be released");
    return RecordedCalls();
  }

  // "<call> <window> <values>" for kavrin.exe's window.
  std::string Call(const std::string& name, const std::string& values) const {
    char window[32];
    std::snprintf(window, sizeof window, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window_.fKavrin)));
    return name + " " + window + " " + values;
  }

  RecorderRegistration registration_;
};

TEST_F(TaskbarE2e, ABatchShowsJobsDoneOfTheJobsCountedAtTheStartAndEndsCleared) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "2000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.VOB", "b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(ChooseStreams(0, {0, 2}));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  EXPECT_FALSE(FileExists(Calls())) << "nothing is shown before a batch";

  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  // While the first job runs: three jobs counted, none done.
  EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"HrInit", Call("SetProgressValue", "0 3")}));
  ASSERT_NO_FATAL_FAILURE(ExpectFinishedAndClose());

  EXPECT_EQ(CallsOnceReleased(),
            (std::vector<std::string>{"HrInit", Call("SetProgressValue", "0 3"), Call("SetProgressValue", "1 3"),
                                      Call("SetProgressValue", "2 3"), Call("SetProgressValue", "3 3"),
                                      Call("SetProgressState", "0"), "Release"}));
}

// TBPF_ERROR is 4, TBPF_NOPROGRESS 0.
TEST_F(TaskbarE2e, AProgramThatDoesNotStartTurnsTheBarRedForTheRestOfTheBatch) {
  BatchSettings settings;
  settings.beSweet = folder_.File("missing\\BeSweet.exe");
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(
      RunBatch("Encoding Finished!\n\n2 of 2 tracks were not made:\n" + Input("a.ac3") + "\n" + Input("b.ac3")));

  EXPECT_EQ(CallsOnceReleased(),
            (std::vector<std::string>{"HrInit", Call("SetProgressValue", "0 2"), Call("SetProgressState", "4"),
                                      Call("SetProgressValue", "1 2"), Call("SetProgressValue", "2 2"),
                                      Call("SetProgressState", "0"), "Release"}));
}

}  // namespace
}  // namespace kavrin::e2e
