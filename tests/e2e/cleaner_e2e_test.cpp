// "Clear Cache" and "Clear Cookies" on real folders of the throw-away
// prefix's C: drive, with the "Shell Folders" values pointed at them; the
// message box is read and dismissed as a user would.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fixture.h"

// After <windows.h>, which fixture.h brings in.
#include <sddl.h>
#include <shlobj.h>

namespace quellnet::e2e {
namespace {

using platform::kIdCommand1;
using platform::kIdCommand2;
using Paths = std::vector<std::wstring>;

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr int kInternetOptionsPage = 2;

bool MakeFile(const std::wstring& path, bool read_only = false) {
  return WriteTextFile(path, "cached") &&
         (!read_only || SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
}

// The current user's hive as the kernel names it ("\Registry\User\<SID>"),
// the form a registry link's target takes.
std::wstring UserHive() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return {};
  }
  const platform::win32::UniqueKernelHandle owned(token);
  alignas(TOKEN_USER) BYTE buffer[256];
  DWORD size = 0;
  wchar_t* sid = nullptr;
  if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) ||
      !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
    return {};
  }
  std::wstring hive = L"\\Registry\\User\\" + std::wstring(sid);
  LocalFree(sid);
  return hive;
}

// Makes `link` (below HKEY_CURRENT_USER) a registry link to `target` (below
// HKEY_CURRENT_USER too).
bool MakeRegistryLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring hive = UserHive();
  HKEY key = nullptr;
  if (hive.empty() ||
      RegCreateKeyExW(HKEY_CURRENT_USER, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // The kernel's name of the target, stored without a terminating NUL.
  const std::wstring kernel_name = hive + L"\\" + target;
  const bool made =
      RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                     reinterpret_cast<const BYTE*>(kernel_name.data()),
                     static_cast<DWORD>(kernel_name.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return made;
}

class CleanerTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    // Folders of this test's own, so that no test sees another's leftovers.
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = L"C:\\CleanerTests\\" + std::wstring(name, name + std::strlen(name));
    cache_ = root_ + L"\\Temporary Internet Files";
    content_ = cache_ + L"\\Content.IE5";
    cookies_ = root_ + L"\\Cookies";
    ASSERT_TRUE(MakeFolders(cache_));
    ASSERT_TRUE(MakeFolders(cookies_));
    ASSERT_TRUE(DeleteUserKeyTree(kTypedUrls));
    ASSERT_TRUE(WriteString(kTypedUrls, L"url1", L"http://one.example/"));
    ASSERT_TRUE(WriteString(kTypedUrls, L"url2", L"http://two.example/"));
    ASSERT_TRUE(WriteString(std::wstring(kTypedUrls) + L"\\Extra", L"x", L"y"));
  }

  // A cache as the browser leaves it: plain, read-only and nested files,
  // and one path beyond MAX_PATH.
  void FillCache() {
    ASSERT_TRUE(MakeFolders(content_ + L"\\AB12CD34\\deeper"));
    ASSERT_TRUE(MakeFile(cache_ + L"\\desktop.ini", true));
    ASSERT_TRUE(MakeFile(cache_ + L"\\plain.htm"));
    ASSERT_TRUE(MakeFile(content_ + L"\\index.dat"));
    ASSERT_TRUE(MakeFile(content_ + L"\\AB12CD34\\logo[1].gif"));
    ASSERT_TRUE(MakeFile(content_ + L"\\AB12CD34\\deeper\\script[1].js", true));
    std::wstring deep = L"\\\\?\\" + content_ + L"\\EF56GH78";
    for (int level = 0; level < 4; ++level) {
      ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
      deep += L"\\" + std::wstring(90, static_cast<wchar_t>(L'a' + level));
    }
    deep += L".txt";
    ASSERT_GT(deep.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(MakeFile(deep, true));
  }

  // Starts the program with the browser's folders pointed at this test's
  // (or at `cookies`), clicks `button` and returns the message it shows,
  // dismissed.
  std::string Press(int button, std::wstring cookies = {}) {
    StartProgram({.presets = {{kShellFolders, L"Cache", cache_},
                              {kShellFolders, L"Cookies", cookies.empty() ? cookies_ : cookies}}});
    std::optional<MessageBoxInfo> box;
    EXPECT_TRUE(!HasFatalFailure() && program_.SelectPage(kInternetOptionsPage) &&
                Click(Control(button)) && (box = program_.WaitForMessageBox()).has_value())
        << "no message after the click";
    if (!box) {
      return {};
    }
    EXPECT_EQ(box->caption, L"Quellnet");
    EXPECT_TRUE(AnswerMessageBox(*box));
    return Narrow(box->text);
  }

  std::wstring root_;
  std::wstring cache_;
  std::wstring content_;
  std::wstring cookies_;
};

// "TypedURLs" made a link to another program's key: the link goes, the key
// it leads to stays whole.
TEST_F(CleanerTest, ClearCacheDeletesALinkedTypedAddressKeyAsTheLinkOnly) {
  const std::wstring target = L"Software\\QuellnetTests\\Another program";
  ASSERT_TRUE(WriteString(target, L"setting", L"keep"));
  ASSERT_TRUE(WriteString(target + L"\\Inner", L"also", L"keep"));
  ASSERT_TRUE(DeleteUserKeyTree(kTypedUrls));
  ASSERT_TRUE(MakeRegistryLink(kTypedUrls, target));
  ASSERT_EQ(ReadUserString(kTypedUrls, L"setting"), L"keep") << "the link leads nowhere";

  EXPECT_EQ(Press(kIdCommand1), "Internet Cache Cleared !");
  EXPECT_EQ(ReadUserString(target, L"setting"), L"keep");
  EXPECT_EQ(ReadUserString(target + L"\\Inner", L"also"), L"keep");
  EXPECT_FALSE(ReadUserString(kTypedUrls, L"setting").has_value());
}

// Read-only files, a path beyond MAX_PATH and a file held open, as only the
// real file system has them.
TEST_F(CleanerTest, ClearCacheEmptiesTheCacheButAFileHeldOpenAndDeletesTheTypedAddresses) {
  ASSERT_NO_FATAL_FAILURE(FillCache());
  const std::wstring held = content_ + L"\\AB12CD34\\held.dat";
  ASSERT_TRUE(MakeFile(held));
  const platform::win32::UniqueKernelHandle open = HoldOpen(held);
  ASSERT_TRUE(open);

  EXPECT_EQ(Press(kIdCommand1),
            "The Internet cache was not cleared completely.\n\n"
            "1 item is in use by another program and was left.\n"
            "The list of typed addresses was cleared.");
  EXPECT_EQ(Contents(cache_), (Paths{L"\\Content.IE5", L"\\Content.IE5\\AB12CD34",
                                     L"\\Content.IE5\\AB12CD34\\held.dat"}));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(CleanerTest, ClearCacheNeverReachesThroughALinkToAFolderOutside) {
  const std::wstring outside = root_ + L"\\Outside";
  ASSERT_TRUE(MakeFolders(outside + L"\\nested"));
  ASSERT_TRUE(MakeFile(outside + L"\\keep.txt"));
  ASSERT_TRUE(MakeFile(outside + L"\\nested\\keep too.txt"));
  ASSERT_TRUE(MakeFolders(content_ + L"\\AB12CD34"));
  ASSERT_TRUE(MakeFile(cache_ + L"\\plain.htm"));
  ASSERT_TRUE(MakeUnixFolderLink(content_ + L"\\AB12CD34\\linked", outside));
  ASSERT_TRUE(MakeUnixFolderLink(cache_ + L"\\to nested", outside + L"\\nested"));
  const Paths before = Contents(outside);

  const std::string message = Press(kIdCommand1);

  EXPECT_EQ(Contents(outside), before);
  EXPECT_FALSE(FileExists(cache_ + L"\\plain.htm"));
  // Wine can't remove a Unix link without acting on its target, so the
  // links stay and are reported; Windows removes them as links.
  const Paths left = Contents(cache_);
  if (left.empty()) {
    EXPECT_EQ(message, "Internet Cache Cleared !");
  } else {
    EXPECT_EQ(left, (Paths{L"\\Content.IE5", L"\\Content.IE5\\AB12CD34",
                           L"\\Content.IE5\\AB12CD34\\linked", L"\\to nested"}));
    EXPECT_EQ(message,
              "The Internet cache was not cleared completely.\n\n"
              "2 items could not be deleted.\n"
              "The list of typed addresses was cleared.");
  }
}

// The protected folders as the system names them: a folder inside the
// system folder, and the user's application data as a whole.
TEST_F(CleanerTest, ClearCookiesRefusesAFolderOfTheSystem) {
  EXPECT_EQ(Press(kIdCommand2, L"C:\\Windows\\System32\\drivers"),
            "The cookies were not cleared completely.\n\n"
            "The cookie folder was left alone: its recorded location, "
            "\"C:\\Windows\\System32\\drivers\", lies inside the Windows system folder.");
  EXPECT_TRUE(FileExists(L"C:\\windows\\system32\\drivers"));
}

TEST_F(CleanerTest, ClearCacheRefusesTheApplicationDataFolder) {
  wchar_t app_data[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data), S_OK);
  ASSERT_TRUE(MakeFile(std::wstring(app_data) + L"\\settings.ini"));
  cache_ = app_data;
  EXPECT_EQ(Press(kIdCommand1),
            "The Internet cache was not cleared completely.\n\n"
            "The cache folder was left alone: its recorded location, \"" +
                Narrow(app_data) +
                "\", is your application data folder.\n"
                "The list of typed addresses was cleared.");
  EXPECT_TRUE(FileExists(std::wstring(app_data) + L"\\settings.ini"));
}

}  // namespace
}  // namespace quellnet::e2e
