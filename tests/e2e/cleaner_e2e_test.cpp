// "Clear Cache" and "Clear Cookies" on real folders of the throw-away
// prefix's C: drive, with the "Shell Folders" values pointed at them; the
// message box is read and dismissed as a user would.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fixture.h"

namespace quellnet::e2e {
namespace {

using platform::win32::kIdCommand1;
using platform::win32::kIdCommand2;

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr int kInternetOptionsPage = 2;

bool MakeFile(const std::wstring& path, bool read_only = false) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, "cached", 6, &written, nullptr) != 0;
  CloseHandle(file);
  return ok;
}

// Everything below `folder` (links are listed, not entered), as paths
// relative to it, sorted.
std::vector<std::wstring> Contents(const std::wstring& folder, const std::wstring& below = {}) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + below + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    return found;
  }
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") {
      continue;
    }
    found.push_back(below + L"\\" + name);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      for (auto& inner : Contents(folder, below + L"\\" + name)) {
        found.push_back(std::move(inner));
      }
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::sort(found.begin(), found.end());
  return found;
}

enum class Linked { kMade, kFailed, kNotWine };

// A symbolic link at `link` to the folder `target` (both on C:), made on the
// Linux side with "ln": Wine shows it to Windows programs as a reparse point.
Linked MakeUnixFolderLink(const std::wstring& link, const std::wstring& target) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) {
    return Linked::kNotWine;
  }
  // The link does not exist yet: name its folder and append its own name.
  const std::size_t slash = link.rfind(L'\\');
  char* unix_target = unix_name(target.c_str());
  char* unix_folder = unix_name(link.substr(0, slash).c_str());
  std::string command;
  if (unix_target != nullptr && unix_folder != nullptr) {
    command = "\\\\?\\unix\\bin\\ln -s \"" + std::string(unix_target) + "\" \"" +
              std::string(unix_folder) + "/" + Narrow(link.substr(slash + 1)) + "\"";
  }
  HeapFree(GetProcessHeap(), 0, unix_target);
  HeapFree(GetProcessHeap(), 0, unix_folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (command.empty() || !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                         nullptr, nullptr, &startup, &process)) {
    return Linked::kFailed;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Wine does not let the handle of a Unix process tell when it ends; wait
  // for the link instead.
  return WaitUntil([&] {
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  })
             ? Linked::kMade
             : Linked::kFailed;
}

class CleanerTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = L"C:\\CleanerTests\\" + std::wstring(test->name(), test->name() + strlen(test->name()));
    cache_ = root_ + L"\\Temporary Internet Files";
    cookies_ = root_ + L"\\Cookies";
    ASSERT_TRUE(MakeFolders(cache_));
    ASSERT_TRUE(MakeFolders(cookies_));
    ASSERT_TRUE(DeleteUserKeyTree(kTypedUrls));
    ASSERT_TRUE(WriteUserString(kTypedUrls, L"url1", L"http://one.example/"));
    ASSERT_TRUE(WriteUserString(kTypedUrls, L"url2", L"http://two.example/"));
    ASSERT_TRUE(WriteUserString(std::wstring(kTypedUrls) + L"\\Extra", L"x", L"y"));
  }

  // A cache as the browser leaves it, with one path beyond MAX_PATH.
  void FillCache() {
    const std::wstring content = cache_ + L"\\Content.IE5";
    ASSERT_TRUE(MakeFolders(content + L"\\AB12CD34\\deeper"));
    ASSERT_TRUE(MakeFolders(content + L"\\EF56GH78"));
    ASSERT_TRUE(MakeFile(cache_ + L"\\desktop.ini", true));
    ASSERT_TRUE(MakeFile(cache_ + L"\\plain.htm"));
    ASSERT_TRUE(MakeFile(content + L"\\index.dat"));
    ASSERT_TRUE(MakeFile(content + L"\\AB12CD34\\logo[1].gif"));
    ASSERT_TRUE(MakeFile(content + L"\\AB12CD34\\deeper\\script[1].js", true));
    ASSERT_TRUE(MakeFile(content + L"\\EF56GH78\\page[2].htm"));
    std::wstring deep = L"\\\\?\\" + content + L"\\EF56GH78";
    for (int level = 0; level < 3; ++level) {
      deep += L"\\" + std::wstring(90, static_cast<wchar_t>(L'a' + level));
      ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    deep += L"\\far away.txt";
    ASSERT_GT(deep.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(MakeFile(deep, true));
  }

  // Starts the program with the browser's folders pointed at this test's,
  // clicks `button` and returns the message it shows, dismissed.
  std::optional<MessageBoxInfo> Press(int button, std::wstring cache = {},
                                      std::wstring cookies = {}) {
    StartOptions options;
    options.presets = {{kShellFolders, L"Cache", cache.empty() ? cache_ : cache},
                       {kShellFolders, L"Cookies", cookies.empty() ? cookies_ : cookies}};
    StartProgram(options);
    if (::testing::Test::HasFatalFailure() || !program_.SelectPage(kInternetOptionsPage) ||
        !Click(Control(button))) {
      ADD_FAILURE() << "could not press the button";
      return std::nullopt;
    }
    auto box = program_.WaitForMessageBox();
    if (box) {
      EXPECT_EQ(box->caption, L"Quellnet");
      EXPECT_TRUE(AnswerMessageBox(*box));
    }
    return box;
  }

  std::wstring root_;
  std::wstring cache_;
  std::wstring cookies_;
};

TEST_F(CleanerTest, ClearCacheEmptiesTheCacheAndDeletesTheTypedAddresses) {
  ASSERT_NO_FATAL_FAILURE(FillCache());

  const auto box = Press(kIdCommand1);

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text), "Internet Cache Cleared !");
  EXPECT_TRUE(FileExists(cache_));
  EXPECT_EQ(Contents(cache_), std::vector<std::wstring>{});
  EXPECT_FALSE(UserValueExists(kTypedUrls, L"url1"));
  EXPECT_FALSE(UserValueExists(std::wstring(kTypedUrls) + L"\\Extra", L"x"));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(CleanerTest, ClearCacheLeavesAFileHeldOpenAndSaysSo) {
  ASSERT_NO_FATAL_FAILURE(FillCache());
  const std::wstring held = cache_ + L"\\Content.IE5\\EF56GH78\\held.dat";
  ASSERT_TRUE(MakeFile(held));
  HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);

  const auto box = Press(kIdCommand1);
  CloseHandle(open);

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text),
            "The Internet cache was not cleared completely.\n\n"
            "1 item is in use and was left. Close the browser and try again.\n"
            "The list of typed addresses was cleared.");
  EXPECT_EQ(Contents(cache_),
            (std::vector<std::wstring>{L"\\Content.IE5", L"\\Content.IE5\\EF56GH78",
                                       L"\\Content.IE5\\EF56GH78\\held.dat"}));
  EXPECT_FALSE(UserValueExists(kTypedUrls, L"url1"));
}

TEST_F(CleanerTest, ClearCacheNeverReachesThroughALinkToAFolderOutside) {
  const std::wstring outside = root_ + L"\\Outside";
  ASSERT_TRUE(MakeFolders(outside + L"\\nested"));
  ASSERT_TRUE(MakeFile(outside + L"\\keep.txt"));
  ASSERT_TRUE(MakeFile(outside + L"\\nested\\keep too.txt"));
  ASSERT_TRUE(MakeFolders(outside + L"\\empty"));
  ASSERT_TRUE(MakeFolders(cache_ + L"\\Content.IE5\\AB12CD34"));
  ASSERT_TRUE(MakeFile(cache_ + L"\\plain.htm"));
  const Linked linked = MakeUnixFolderLink(cache_ + L"\\Content.IE5\\AB12CD34\\linked", outside);
  if (linked == Linked::kNotWine) {
    GTEST_SKIP() << "folder links are made through Wine";
  }
  ASSERT_EQ(linked, Linked::kMade);
  ASSERT_EQ(MakeUnixFolderLink(cache_ + L"\\to empty", outside + L"\\empty"), Linked::kMade);
  const auto before = Contents(outside);

  const auto box = Press(kIdCommand1);

  ASSERT_TRUE(box);
  EXPECT_EQ(Contents(outside), before);
  EXPECT_TRUE(FileExists(outside + L"\\empty"));
  EXPECT_FALSE(FileExists(cache_ + L"\\plain.htm"));
  // Wine can't remove a Unix link without acting on its target, so the
  // links stay and are reported; Windows removes them as links.
  const auto left = Contents(cache_);
  if (left.empty()) {
    EXPECT_EQ(Narrow(box->text), "Internet Cache Cleared !");
  } else {
    EXPECT_EQ(left, (std::vector<std::wstring>{L"\\Content.IE5", L"\\Content.IE5\\AB12CD34",
                                               L"\\Content.IE5\\AB12CD34\\linked", L"\\to empty"}));
    EXPECT_EQ(Narrow(box->text),
              "The Internet cache was not cleared completely.\n\n"
              "2 items could not be deleted.\n"
              "The list of typed addresses was cleared.");
  }
}

TEST_F(CleanerTest, ClearCacheRefusesADriveRootAndStillClearsTypedAddresses) {
  ASSERT_TRUE(MakeFile(root_ + L"\\precious.doc"));

  const auto box = Press(kIdCommand1, L"C:\\");

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text),
            "The Internet cache was not cleared completely.\n\n"
            "The cache folder was left alone: its recorded location, \"C:\\\", is a whole "
            "drive.\n"
            "The list of typed addresses was cleared.");
  EXPECT_TRUE(FileExists(root_ + L"\\precious.doc"));
  EXPECT_TRUE(FileExists(L"C:\\windows\\win.ini"));
  EXPECT_FALSE(UserValueExists(kTypedUrls, L"url1"));
}

TEST_F(CleanerTest, ClearCookiesDeletesOnlyTheFilesDirectlyInTheFolder) {
  ASSERT_TRUE(MakeFile(cookies_ + L"\\bob@example[1].txt"));
  ASSERT_TRUE(MakeFile(cookies_ + L"\\bob@shop[1].txt", true));
  ASSERT_TRUE(MakeFolders(cookies_ + L"\\Low"));
  ASSERT_TRUE(MakeFile(cookies_ + L"\\Low\\bob@low[1].txt"));

  const auto box = Press(kIdCommand2);

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text), "All Cookies Cleared !");
  EXPECT_EQ(Contents(cookies_), (std::vector<std::wstring>{L"\\Low", L"\\Low\\bob@low[1].txt"}));
  EXPECT_TRUE(UserValueExists(kTypedUrls, L"url1"));
}

TEST_F(CleanerTest, ClearCookiesLeavesACookieHeldOpenAndSaysSo) {
  ASSERT_TRUE(MakeFile(cookies_ + L"\\bob@example[1].txt"));
  ASSERT_TRUE(MakeFile(cookies_ + L"\\index.dat"));
  HANDLE open = CreateFileW((cookies_ + L"\\index.dat").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);

  const auto box = Press(kIdCommand2);
  CloseHandle(open);

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text),
            "The cookies were not cleared completely.\n\n"
            "1 item is in use and was left. Close the browser and try again.");
  EXPECT_EQ(Contents(cookies_), std::vector<std::wstring>{L"\\index.dat"});
}

TEST_F(CleanerTest, ClearCookiesRefusesTheWindowsFolder) {
  const auto box = Press(kIdCommand2, {}, L"C:\\Windows");

  ASSERT_TRUE(box);
  EXPECT_EQ(Narrow(box->text),
            "The cookies were not cleared completely.\n\n"
            "The cookie folder was left alone: its recorded location, \"C:\\Windows\", is the "
            "Windows folder.");
  EXPECT_TRUE(FileExists(L"C:\\windows\\win.ini"));
}

}  // namespace
}  // namespace quellnet::e2e
