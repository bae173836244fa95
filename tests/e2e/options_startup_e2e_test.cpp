// The options restored at start-up and saved when the program ends, and the
// run-at-logon entry, checked in the registry of the throw-away prefix. No
// "Messenger" service is installed here, so the switch never changes one.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"

namespace quellnet::e2e {
namespace {

using platform::win32::kIdChkHideOnStart;
using platform::win32::kIdChkmess;
using platform::win32::kIdChkStartup;
using platform::win32::kIdLabel2;

// Start options with these options stored before the start.
StartOptions WithStored(std::vector<std::pair<std::wstring, std::wstring>> options,
                        std::wstring folder = {}) {
  StartOptions start;
  start.folder = std::move(folder);
  for (auto& [name, text] : options) {
    start.presets.push_back({kOptionsKey, name, text});
  }
  return start;
}

constexpr int kPreferencesPage = 1;

std::wstring Quoted(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

// The run-at-logon value exactly as stored: its type and raw data.
struct RawValue {
  DWORD type = REG_NONE;
  std::vector<wchar_t> data;
};
std::optional<RawValue> ReadRunValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue value;
  DWORD bytes = 0;
  LONG error = RegQueryValueExW(key, kRunValueName, nullptr, &value.type, nullptr, &bytes);
  if (error == ERROR_SUCCESS) {
    value.data.resize(bytes / sizeof(wchar_t));
    error = RegQueryValueExW(key, kRunValueName, nullptr, &value.type,
                             reinterpret_cast<BYTE*>(value.data.data()), &bytes);
    value.data.resize(bytes / sizeof(wchar_t));
  }
  RegCloseKey(key);
  if (error != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

class OptionsTest : public QuellnetTest {
 protected:
  // Starts the program and waits until its start-up has run: the window is
  // shown only after that.
  void Launch(const StartOptions& options = {}) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(options));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) != FALSE; }));
  }
  void ClickOnPreferences(int id) {
    ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
    const auto before = CheckState(Control(id));
    ASSERT_TRUE(Click(Control(id)));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Control(id)) != before; }));
  }
};

TEST_F(OptionsTest, ClosingWritesTheThreeOptionsAndAddsTheQuotedEntry) {
  // Protection stored on: with no Messenger service it counts as protected.
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"mess", L"1"}})));
  EXPECT_EQ(WindowText(Control(kIdLabel2)), L"PC Protected !");
  ClickOnPreferences(kIdChkStartup);
  ClickOnPreferences(kIdChkHideOnStart);
  ASSERT_TRUE(program_.Close());

  EXPECT_EQ(ReadOption(L"StartUp"), L"1");
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"1");
  EXPECT_EQ(ReadOption(L"mess"), L"1");
  EXPECT_EQ(ReadUserString(kRunKey, kRunValueName),
            Quoted(ProgramDir() + L"\\" + kProgramFileName));
}

TEST_F(OptionsTest, ClosingWithRunAtStartupOffWritesZeroAndRemovesTheEntry) {
  ASSERT_TRUE(WriteUserString(kRunKey, kRunValueName, L"\"C:\\old\\quellnet.exe\""));
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"StartUp", L"1"}})));
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  ClickOnPreferences(kIdChkStartup);
  ASSERT_TRUE(program_.Close());

  EXPECT_EQ(ReadOption(L"StartUp"), L"0");
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"0");
  EXPECT_EQ(ReadOption(L"mess"), L"0");
  EXPECT_FALSE(UserValueExists(kRunKey, kRunValueName));
}

TEST_F(OptionsTest, AProgramFolderWithBlanksGetsAQuotedEntry) {
  const std::wstring folder = L"C:\\Program Files\\Quellnet Test Copy";
  ASSERT_TRUE(CopyProgramTo(folder));
  // A program lying where the unquoted path would lead instead.
  ASSERT_TRUE(WriteTextFile(L"C:\\Program.exe", "not a program"));
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"StartUp", L"1"}}, folder)));
  ASSERT_TRUE(program_.Close());

  // A plain string: the quoted path and exactly one NUL, counted.
  const std::wstring expected = Quoted(folder + L"\\" + kProgramFileName);
  const auto stored = ReadRunValue();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  std::vector<wchar_t> with_nul(expected.begin(), expected.end());
  with_nul.push_back(L'\0');
  EXPECT_EQ(stored->data, with_nul);
  EXPECT_EQ(ReadOption(L"StartUp"), L"1");
  DeleteFileW(L"C:\\Program.exe");
  EXPECT_TRUE(DeleteTree(folder));
}

TEST_F(OptionsTest, StoredFormsAreReadAsWholeNumbersAndOthersLeaveTheBoxOff) {
  ASSERT_TRUE(WriteUserDword(kOptionsKey, L"mess", 1));  // not text: not a number
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"StartUp", L" 01 "}, {L"HideOnStart", L"yes"}})));
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkHideOnStart)), BST_UNCHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
  EXPECT_EQ(WindowText(Control(kIdLabel2)), L"");
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_FALSE(IsIconic(Main()));
  // Saved back in the plain form.
  ASSERT_TRUE(program_.Close());
  EXPECT_EQ(ReadOption(L"StartUp"), L"1");
  EXPECT_EQ(ReadOption(L"mess"), L"0");
}

TEST_F(OptionsTest, StoredRunMinimisedMinimisesTheWindowAtItsFirstPaint) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(WithStored({{L"HideOnStart", L"1"}})));
  // Minimised, and so hidden to the tray; a window not yet shown is neither.
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(Main()) && !IsWindowVisible(Main()); }));
  program_.SendTrayNotification(WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) && !IsIconic(Main()); }));
  // Later paints leave it alone.
  RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_FALSE(WaitUntil([&] { return IsIconic(Main()) != FALSE; }, kQuietPeriod));
}

TEST_F(OptionsTest, EndingTheWindowsSessionSavesAsClosingDoes) {
  ASSERT_NO_FATAL_FAILURE(Launch(WithStored({{L"StartUp", L"1"}})));
  ClickOnPreferences(kIdChkHideOnStart);
  // What Windows sends at log-off; afterwards it ends the process without
  // any further message.
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_NE(answer, 0u);
  ASSERT_TRUE(SendMessageTimeoutW(Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                  5000, &answer));
  program_.Kill();

  EXPECT_EQ(ReadOption(L"StartUp"), L"1");
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"1");
  EXPECT_EQ(ReadOption(L"mess"), L"0");
  EXPECT_EQ(ReadUserString(kRunKey, kRunValueName),
            Quoted(ProgramDir() + L"\\" + kProgramFileName));
}

}  // namespace
}  // namespace quellnet::e2e
