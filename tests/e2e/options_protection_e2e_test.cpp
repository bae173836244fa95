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

using namespace platform;
using tools::TestServiceStartType;
using tools::TestServiceState;

// In the process the Service Control Manager starts, this serves the service
// and never returns.
[[maybe_unused]] const int kServiceHook = [] {
  tools::RunAsTestServiceIfAsked();
  return 0;
}();

constexpr wchar_t kProtected[] = L"PC Protected !";
constexpr wchar_t kNotProtected[] = L"PC Not Protected !";

class OptionsProtectionTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_EQ(tools::InstallTestService(150, SERVICE_AUTO_START), 0u);
    ASSERT_TRUE(tools::StartTestService());
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    EXPECT_TRUE(tools::DeleteTestService());
  }
  bool CaptionBecomes(const wchar_t* caption) const {
    return WaitUntil([&] { return WindowText(Control(kIdLabel2)) == caption; });
  }
  bool Shows(Shown shown) const {
    return WaitUntil([&] { return MostlyShown(Control(kIdPicture1)) == shown; });
  }
};

TEST_F(OptionsProtectionTest, StoredProtectionStopsTheServiceAndTheSwitchTurnsItBack) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}}}));
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_CHECKED);
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_TRUE(Shows(Shown::kGreen));
  EXPECT_EQ(TestServiceState(), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(), SERVICE_DEMAND_START);

  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));
  ASSERT_TRUE(CaptionBecomes(kNotProtected));
  EXPECT_TRUE(Shows(Shown::kRed));
  EXPECT_EQ(TestServiceState(), SERVICE_RUNNING);
  EXPECT_EQ(TestServiceStartType(), SERVICE_AUTO_START);

  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  // The local address from the system's adapter list: four dotted numbers.
  const std::wstring address = WindowText(Control(kIdText1));
  EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << Narrow(address);
}

// Turning protection on never makes a disabled service startable again; a
// service that was removed but still runs is stopped, not taken as missing;
// once it has gone, turning protection off says so.
TEST_F(OptionsProtectionTest, ADisabledServiceStaysDisabledAndARemovedOneIsStoppedThenMissed) {
  ASSERT_TRUE(tools::SetTestServiceStartType(SERVICE_DISABLED));
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}}}));
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_EQ(TestServiceState(), SERVICE_STOPPED);
  EXPECT_EQ(TestServiceStartType(), SERVICE_DISABLED);

  ASSERT_TRUE(tools::SetTestServiceStartType(SERVICE_DEMAND_START));
  ASSERT_TRUE(tools::StartTestService());
  ASSERT_TRUE(tools::MarkTestServiceForDeletion());
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // off: it runs, as asked
  ASSERT_TRUE(CaptionBecomes(kNotProtected));
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkmess));  // on: it is stopped, and goes
  ASSERT_TRUE(CaptionBecomes(kProtected));
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  EXPECT_NE(TestServiceState(), SERVICE_RUNNING);

  ASSERT_TRUE(WaitUntil([] { return !TestServiceState().has_value(); }));
  ASSERT_TRUE(Click(Control(kIdChkmess)));  // off, with no service at all
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_NE(box->text.find(L"not installed"), std::wstring::npos) << Narrow(box->text);
  EXPECT_TRUE(CaptionBecomes(kProtected));
  EXPECT_TRUE(Shows(Shown::kGreen));
}

// The Run value exactly as stored: a plain string holding the quoted path
// and exactly one NUL, counted; the next run restores the option, and ending
// the Windows session saves as closing does, without any message, not even
// for an entry that could not be written (no Run key).
TEST_F(OptionsProtectionTest, TheRunEntryIsQuotedAndEndingTheSessionSavesTheOptions) {
  const std::wstring folder = L"C:\\Program Files\\Quellnet Test Copy";
  ASSERT_TRUE(MakeFolders(folder));
  ASSERT_TRUE(CopyFileW((std::wstring(kProgramDir) + L"\\quellnet.exe").c_str(),
                        (folder + L"\\quellnet.exe").c_str(), FALSE));
  // A program lying where the unquoted path would lead instead.
  ASSERT_TRUE(WriteTextFile(L"C:\\Program.exe", "not a program"));
  ASSERT_NO_FATAL_FAILURE(
      StartProgram({.folder = folder, .presets = {{kOptionsKey, L"StartUp", L"1"}}}));
  ASSERT_TRUE(program_.Close());
  const std::wstring quoted = L"\"" + folder + L"\\quellnet.exe\"";
  std::vector<wchar_t> expected(quoted.begin(), quoted.end());
  expected.push_back(L'\0');
  std::vector<wchar_t> data(1024);
  DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  DWORD type = REG_NONE;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  const platform::win32::UniqueHKey owned_key(key);
  ASSERT_EQ(RegQueryValueExW(key, kRunValueName, nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &bytes),
            ERROR_SUCCESS);
  data.resize(bytes / sizeof(wchar_t));
  EXPECT_EQ(data, expected);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(1));
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  ASSERT_NO_FATAL_FAILURE(Toggle(kIdChkHideOnStart));
  ASSERT_TRUE(DeleteUserKeyTree(kRunKey));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_NE(answer, 0u);
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                  5000, &answer));
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  program_.Kill();
  EXPECT_EQ(ReadUserString(kOptionsKey, L"HideOnStart"), L"1");
  HKEY run = nullptr;  // the Run key back for whatever runs next
  EXPECT_EQ(
      RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, &run, nullptr),
      ERROR_SUCCESS);
  RegCloseKey(run);
}

}  // namespace
}  // namespace quellnet::e2e
