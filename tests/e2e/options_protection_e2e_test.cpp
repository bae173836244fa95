// The protection switch against a stand-in "Messenger" service that this
// test program registers in the throw-away prefix (the Service Control
// Manager starts this same program again to serve it), and the options and
// run-at-logon entry that the program restores and saves.
#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"
#include "tools/test_service.h"

namespace quellnet::e2e {
namespace {

using platform::kIdChkHideOnStart;
using platform::kIdChkmess;
using platform::kIdChkStartup;
using platform::kIdLabel2;
using platform::kIdPicture1;
using platform::kIdText1;
using tools::TestServiceStartType;
using tools::TestServiceState;

// In the process the Service Control Manager starts, this serves the service
// and never returns.
[[maybe_unused]] const int kServiceHook = [] {
  tools::RunAsTestServiceIfAsked();
  return 0;
}();

constexpr wchar_t kMessenger[] = L"Messenger";
constexpr wchar_t kProtected[] = L"PC Protected !";
constexpr wchar_t kNotProtected[] = L"PC Not Protected !";
constexpr int kPreferencesPage = 1;

class OptionsProtectionTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    tools::TestServiceOptions options;
    options.stop_delay_ms = 150;
    options.start_type = SERVICE_AUTO_START;
    std::wstring error;
    ASSERT_TRUE(tools::InstallTestService(options, error)) << Narrow(error);
    ASSERT_TRUE(tools::StartTestService(kMessenger));
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    EXPECT_TRUE(tools::DeleteTestService(kMessenger));
  }

  std::wstring Caption() const { return WindowText(Control(kIdLabel2)); }
  // Clicks a check box and waits until its value changed.
  void Toggle(int id) {
    const auto before = CheckState(Control(id));
    ASSERT_TRUE(Click(Control(id)));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Control(id)) != before; }));
  }
  bool Shows(Shown shown) const {
    return WaitUntil([&] { return MostlyShown(Control(kIdPicture1)) == shown; });
  }
};

TEST_F(OptionsProtectionTest, StoredProtectionStopsTheServiceAndTheSwitchTurnsItBack) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({.options = {{L"mess", L"1"}}}));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_TRUE(Shows(Shown::kGreen));
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_DEMAND_START);

  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));
  ASSERT_TRUE(WaitUntil([&] { return Caption() == kNotProtected; })) << Narrow(Caption());
  EXPECT_TRUE(Shows(Shown::kRed));
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_RUNNING);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_AUTO_START);

  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  // The local address from the system's adapter list: four dotted numbers.
  const std::wstring address = WindowText(Control(kIdText1));
  EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << Narrow(address);
}

TEST_F(OptionsProtectionTest, WithoutTheServiceTheSwitchSaysSoAndShowsProtected) {
  ASSERT_TRUE(tools::DeleteTestService(kMessenger));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(Click(Control(kIdChkmess)));
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Quellnet");
  EXPECT_NE(box->text.find(L"not installed"), std::wstring::npos) << Narrow(box->text);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_TRUE(Shows(Shown::kGreen));
  ASSERT_TRUE(AnswerMessageBox(*box));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
}

// Turning protection on never makes a disabled service startable again; a
// service that was removed but still runs is stopped, not taken as missing.
TEST_F(OptionsProtectionTest, ProtectionStopsADisabledOrRemovedServiceAndLeavesItDisabled) {
  ASSERT_TRUE(tools::SetTestServiceStartType(kMessenger, SERVICE_DISABLED));
  ASSERT_NO_FATAL_FAILURE(StartProgram({.options = {{L"mess", L"1"}}}));
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(kMessenger), SERVICE_DISABLED);

  ASSERT_TRUE(tools::SetTestServiceStartType(kMessenger, SERVICE_DEMAND_START));
  ASSERT_TRUE(tools::StartTestService(kMessenger));
  ASSERT_TRUE(tools::MarkTestServiceForDeletion(kMessenger));
  ASSERT_EQ(TestServiceState(kMessenger), SERVICE_RUNNING);
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // off: it runs, as asked
  ASSERT_TRUE(WaitUntil([&] { return Caption() == kNotProtected; })) << Narrow(Caption());
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // on: it is stopped, and goes
  ASSERT_TRUE(WaitUntil([&] { return Caption() == kProtected; })) << Narrow(Caption());
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  EXPECT_NE(TestServiceState(kMessenger), SERVICE_RUNNING);
}

TEST_F(OptionsProtectionTest, AServiceThatFailsToStartIsReportedAndShownAsItIs) {
  // A service whose program file is missing: every start fails at once.
  ASSERT_TRUE(tools::DeleteTestService(kMessenger));
  tools::TestServiceOptions broken;
  broken.program = L"C:\\missing\\nothing.exe";
  std::wstring error;
  ASSERT_TRUE(tools::InstallTestService(broken, error)) << Narrow(error);

  ASSERT_NO_FATAL_FAILURE(StartProgram({.options = {{L"mess", L"1"}}}));
  EXPECT_EQ(Caption(), kProtected);         // stopped: protected
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // off: the start fails
  const auto box = program_.WaitForMessageBox(std::chrono::seconds(40));
  ASSERT_TRUE(box.has_value());
  EXPECT_NE(box->text.find(L"could not start"), std::wstring::npos) << Narrow(box->text);
  EXPECT_EQ(Caption(), kProtected);
  EXPECT_EQ(TestServiceState(kMessenger), SERVICE_STOPPED);
}

// The value exactly as stored: a plain string holding the quoted path and
// exactly one NUL, counted.
std::vector<wchar_t> RawRunValue(DWORD& type) {
  HKEY key = nullptr;
  std::vector<wchar_t> data(1024);
  DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return {};
  }
  const LONG read = RegQueryValueExW(key, kRunValueName, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &bytes);
  RegCloseKey(key);
  data.resize(read == ERROR_SUCCESS ? bytes / sizeof(wchar_t) : 0);
  return data;
}

TEST_F(OptionsProtectionTest, TheEntryIsQuotedForAFolderWithBlanksAndGoesWithTheOption) {
  const std::wstring folder = L"C:\\Program Files\\Quellnet Test Copy";
  ASSERT_TRUE(MakeFolders(folder));
  ASSERT_TRUE(CopyFileW((ProgramDir() + L"\\quellnet.exe").c_str(),
                        (folder + L"\\quellnet.exe").c_str(), FALSE));
  // A program lying where the unquoted path would lead instead.
  ASSERT_TRUE(WriteTextFile(L"C:\\Program.exe", "not a program"));
  ASSERT_NO_FATAL_FAILURE(StartProgram({.folder = folder, .options = {{L"StartUp", L"1"}}}));
  ASSERT_TRUE(program_.Close());
  const std::wstring quoted = L"\"" + folder + L"\\quellnet.exe\"";
  std::vector<wchar_t> expected(quoted.begin(), quoted.end());
  expected.push_back(L'\0');
  DWORD type = REG_NONE;
  EXPECT_EQ(RawRunValue(type), expected);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  // The next run restores the option; turned off, it removes the entry.
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkStartup));
  ASSERT_TRUE(program_.Close());
  EXPECT_EQ(ReadOption(L"StartUp"), L"0");
  EXPECT_FALSE(UserValueExists(kRunKey, kRunValueName));

  // Ending the Windows session saves as closing does; afterwards Windows
  // ends the process without any further message, not even for an entry
  // that could not be written (no Run key).
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkHideOnStart));
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkStartup));
  ASSERT_TRUE(DeleteUserKeyTree(kRunKey));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_NE(answer, 0u);
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                  5000, &answer));
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  program_.Kill();
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"1");
  HKEY run = nullptr;  // the Run key back for whatever runs next
  EXPECT_EQ(
      RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, &run, nullptr),
      ERROR_SUCCESS);
  RegCloseKey(run);
}

}  // namespace
}  // namespace quellnet::e2e
