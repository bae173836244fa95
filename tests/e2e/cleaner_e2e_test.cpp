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
#include "refused_folders.h"
#include "tools/table.h"

namespace quellnet::e2e {
namespace {

using app::kIdCommand1;
using app::kIdCommand2;

// Locations that the real system shows to be the user's, the system's or
// the program's own, or another user's (data/refused_folders.tsv), are
// refused with their reasons. Whatever the cleaner deleted there would fail
// the run's check of the C: drive, or, for the other profile on Windows,
// the count of what it holds.
TEST_F(QuellnetTest, ClearingRefusesTheUsersTheSystemsAndItsOwnFolders) {
  wchar_t app_data[MAX_PATH];
  wchar_t profile[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data), S_OK);
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile), S_OK);
  const std::wstring documents = std::wstring(profile) + L"\\Documents";
  const std::wstring her_cache = L"C:\\users\\alice\\AppData\\Local\\Microsoft\\Windows\\INetCache";
  ASSERT_TRUE(WriteTextFile(std::wstring(app_data) + L"\\settings.ini", "x") &&
              WriteTextFile(documents + L"\\letter.txt", "x") && MakeFolders(L"C:\\Decoy") &&
              MakeFolders(her_cache) && WriteTextFile(her_cache + L"\\page.htm", "x"));
  ASSERT_NO_FATAL_FAILURE(StartProgram(
      {.presets = {{L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    L"Personal", L"C:\\Decoy"}}}));
  const std::wstring other =
      std::wstring(profile).substr(0, std::wcsrchr(profile, L'\\') - profile) + L"\\QuellnetOther";
  const std::wstring inside = L"\\AppData\\Local\\Microsoft\\Windows";
  // A drive letter stacks on one in use, and its removal brings that back.
  const wchar_t drive[] = L"Q:";
  if (!IsWine()) {
    ASSERT_TRUE(MakeFolders(other + inside + L"\\INetCache\\Content.IE5") &&
                WriteTextFile(other + inside + L"\\INetCache\\Content.IE5\\page.htm", "x") &&
                MakeJunction(L"C:\\CleanerTests\\Above", other + inside) &&
                DefineDosDeviceW(0, drive, other.c_str()));
  }
  for (const tools::TableRow& refused : tools::TableRows(refused_folders_tsv)) {
    if (refused.size() > 3 && IsWine()) {
      continue;  // Windows only
    }
    wchar_t location[MAX_PATH] = {};
    ExpandEnvironmentStringsW(tools::Wide(refused[1]).c_str(), location, MAX_PATH);
    // The button on the "Internet Options" page, and its message, read and dismissed.
    std::optional<MessageBoxInfo> box;
    ASSERT_TRUE(WriteString({kShellFolders, tools::Wide(refused[0]), location}) &&
                program_.SelectPage(2) &&
                Click(Control(refused[0] == "Cache" ? kIdCommand1 : kIdCommand2)) &&
                (box = program_.WaitForMessageBox()).has_value() && box->caption == L"Quellnet" &&
                ProgramUnderTest::Answer(*box));
    EXPECT_NE(Narrow(box->text).find("\"" + Narrow(location) + "\", " + refused[2] + "."),
              std::string::npos)
        << Narrow(box->text);
  }
  QUELLNET_SKIP_UNDER_WINE("makes neither junctions nor drive letters for folders");
  EXPECT_TRUE(DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive, nullptr));
  EXPECT_EQ(Contents(other + inside + L"\\INetCache").size(), 2u);
}

// A program swaps the cache's folders, listed but not yet emptied, for links
// to the user's documents while "Clear Cache" runs, as a page in the
// browser's sandbox could: clean after clean nothing outside the cache is
// lost, and the message counts the links it had to leave. Another
// program's click meanwhile, sent to the button or as the button's
// notification to the window, starts no second clean inside the first: the
// one clean ends with its one message. The caches are laid out as Windows
// XP, 7 and 10 lay them out.
TEST_F(QuellnetTest, FoldersSwappedForLinksDuringAClearCostNothingOutsideTheCache) {
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
    HWND button = Control(kIdCommand1);
    ASSERT_TRUE(Click(button) &&
                PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(kIdCommand1, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button)));
    std::vector<std::wstring> names;
    for (const int folder : folders) {
      if (whole(folder)) {
        names.push_back(L"F" + std::to_wstring(folder));
      }
    }
    swapped += names.size();
    ASSERT_TRUE(SwapForLinks(content, names, documents));
    const std::optional<MessageBoxInfo> box = program_.WaitForMessageBox();
    ASSERT_TRUE(box && ProgramUnderTest::Answer(*box));
    EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value()) << "a second clean ran";
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
