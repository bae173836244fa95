// "Clear Cache" and "Clear Cookies" pointed by the "Shell Folders" values at
// folders that the real system shows to be the user's, the system's or the
// program's own; the message box is read and dismissed as a user would. What
// the cleaners delete and how is checked by the unit tests on the fakes, and
// what the real file system and registry do by the contract tests
// (tests/contract), which the fakes and the Win32 adapters both pass.
#include <algorithm>
#include <cctype>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

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

// A program swaps the cache's folders, listed but not yet emptied, for links
// to the user's documents while "Clear Cache" runs, as a page in the
// browser's sandbox could: clean after clean nothing outside the cache is
// lost, and the message counts the links it had to leave. The caches are
// laid out as Windows XP, 7 and 10 lay them out.
TEST_F(CleanerTest, FoldersSwappedForLinksDuringAClearCostNothingOutsideTheCache) {
  const std::wstring documents = L"C:\\CleanerTests\\Documents";
  for (int letter = 0; letter < 20; ++letter) {
    ASSERT_TRUE(MakeFolders(documents) &&
                WriteTextFile(documents + L"\\" + std::to_wstring(letter) + L".txt", "x"));
  }
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const wchar_t* const layouts[] = {L"Local Settings\\Temporary Internet Files",
                                    L"AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files",
                                    L"AppData\\Local\\Microsoft\\Windows\\INetCache"};
  std::size_t swapped = 0;
  for (int round = 0; round < 6; ++round) {
    const std::wstring test = L"C:\\CleanerTests\\" + std::to_wstring(round);
    const std::wstring cache = test + L"\\" + layouts[round % 3];
    const std::wstring content = cache + L"\\Content.IE5\\";
    for (int file = 0; file < 800; ++file) {
      const std::wstring folder = content + L"F" + std::to_wstring(10 + file % 40);
      ASSERT_TRUE(MakeFolders(folder) &&
                  WriteTextFile(folder + L"\\" + std::to_wstring(file), "x"));
    }
    ASSERT_TRUE(WriteString({kShellFolders, L"Cache", cache}) && program_.SelectPage(2) &&
                Click(Control(kIdCommand1)));
    // Once the clean has begun on one folder, those still whole are listed
    // but not yet entered.
    std::vector<int> folders(40);
    std::iota(folders.begin(), folders.end(), 10);
    const auto whole = [&](int folder) {
      return Contents(content + L"F" + std::to_wstring(folder)).size() == 20;
    };
    ASSERT_TRUE(WaitUntil([&] { return !std::all_of(folders.begin(), folders.end(), whole); }));
    std::string swaps = "cd '" + UnixPath(content) + "'";
    for (const int folder : folders) {
      if (whole(folder)) {
        const std::string name = "F" + std::to_string(folder);
        swaps +=
            "; mv " + name + " " + name + ".moved && ln -s '" + UnixPath(documents) + "' " + name;
        ++swapped;
      }
    }
    ASSERT_TRUE(
        StartUnix("\\bin\\sh", "-c \"" + swaps + "; touch '" + UnixPath(test) + "/done'\"") &&
        WaitUntil([&] {
          return GetFileAttributesW((test + L"\\done").c_str()) != INVALID_FILE_ATTRIBUTES;
        }));
    const std::optional<MessageBoxInfo> box = program_.WaitForMessageBox();
    ASSERT_TRUE(box && ProgramUnderTest::Answer(*box));
    EXPECT_EQ(Contents(documents).size(), 20u);
    // What stays of the cache (the links, which Wine can't remove as
    // themselves, and what was moved aside meanwhile) is counted, each by
    // its reason; nothing stays uncounted, and nothing is counted that went.
    std::size_t counted = 0;
    std::istringstream lines(Narrow(box->text));
    for (std::string line; std::getline(lines, line);) {
      if (line.find(" item") != std::string::npos && std::isdigit(line[0])) {
        counted += std::stoul(line);
      }
    }
    EXPECT_EQ(counted > 0, !Contents(content.substr(0, content.size() - 1)).empty())
        << Narrow(box->text);
  }
  EXPECT_GT(swapped, 0u);
}

}  // namespace
}  // namespace quellnet::e2e
