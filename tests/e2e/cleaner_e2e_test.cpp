// "Clear Cache" and "Clear Cookies" pointed by the "Shell Folders" values at
// folders that the real system shows to be the user's, the system's or the
// program's own; the message box is read and dismissed as a user would. What
// the cleaners delete and how is checked by the unit tests on the fakes, and
// what the real file system and registry do by the contract tests
// (tests/contract), which the fakes and the Win32 adapters both pass.
#include <string>

#include "fixture.h"

namespace quellnet::e2e {
namespace {

using app::kIdCommand1;
using app::kIdCommand2;

class CleanerTest : public QuellnetTest {
 protected:
  // Clicks `button` on the "Internet Options" page and returns the message
  // it shows, dismissed.
  std::string Press(int button) {
    std::optional<MessageBoxInfo> box;
    EXPECT_TRUE(program_.SelectPage(2) && Click(Control(button)) &&
                (box = program_.WaitForMessageBox()).has_value())
        << "no message after the click";
    EXPECT_TRUE(box && box->caption == L"Quellnet" && ProgramUnderTest::Answer(*box));
    return box ? Narrow(box->text) : "";
  }
};

// Locations that the real system shows to be the user's or the program's
// own: the application data and a folder of the system as the shell names
// them, the real Documents while the shell is told they are elsewhere, and
// the program's folder. Whatever the cleaner deleted there would fail the
// run's check of the C: drive.
TEST_F(CleanerTest, ClearingRefusesTheUsersTheSystemsAndItsOwnFolders) {
  wchar_t app_data[MAX_PATH];
  wchar_t profile[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data), S_OK);
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile), S_OK);
  const std::wstring documents = std::wstring(profile) + L"\\Documents";
  ASSERT_TRUE(WriteTextFile(std::wstring(app_data) + L"\\settings.ini", "x") &&
              WriteTextFile(documents + L"\\letter.txt", "x") && MakeFolders(L"C:\\Decoy"));
  ASSERT_NO_FATAL_FAILURE(StartProgram(
      {.presets = {{L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    L"Personal", L"C:\\Decoy"}}}));
  struct Case {
    int button;
    std::wstring location;
    std::string reason;
  };
  for (const Case& refused : {Case{kIdCommand1, app_data, "is your application data folder"},
                              Case{kIdCommand2, L"C:\\Windows\\System32\\drivers",
                                   "lies inside the Windows system folder"},
                              Case{kIdCommand1, documents, "is your Documents folder"},
                              Case{kIdCommand2, kProgramDir, "is this program's folder"}}) {
    ASSERT_TRUE(WriteString(
        {kShellFolders, refused.button == kIdCommand1 ? L"Cache" : L"Cookies", refused.location}));
    const std::string message = Press(refused.button);
    EXPECT_NE(message.find("\"" + Narrow(refused.location) + "\", " + refused.reason + "."),
              std::string::npos)
        << message;
  }
}

}  // namespace
}  // namespace quellnet::e2e
