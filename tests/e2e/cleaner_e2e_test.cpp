// "Clear Cache" and "Clear Cookies" on real folders of the throw-away
// prefix's C: drive, with the "Shell Folders" values pointed at them; the
// message box is read and dismissed as a user would.
#include <string>
#include <vector>

#include "fixture.h"

// After <windows.h>, which fixture.h brings in.
#include <sddl.h>

namespace quellnet::e2e {
namespace {

using platform::kIdCommand1;
using platform::kIdCommand2;
using Paths = std::vector<std::wstring>;

constexpr wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";

bool MakeFile(const std::wstring& path, bool read_only = false) {
  return WriteTextFile(path, "cached") &&
         (!read_only || SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
}

// Makes `link` a registry link to `target`, both below HKEY_CURRENT_USER. The
// link's target is the kernel's name, "\Registry\User\<SID>\<target>",
// stored without a terminating NUL.
bool MakeRegistryLink(const std::wstring& link, const std::wstring& target) {
  HANDLE token = nullptr;
  alignas(TOKEN_USER) BYTE user[256];
  DWORD size = 0;
  wchar_t* sid = nullptr;
  const bool named = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                     GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                     ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid);
  const platform::win32::UniqueKernelHandle owned_token(token);
  if (!named) {
    return false;
  }
  const std::wstring kernel_name = L"\\Registry\\User\\" + std::wstring(sid) + L"\\" + target;
  LocalFree(sid);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const platform::win32::UniqueHKey owned_key(key);
  return RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                        reinterpret_cast<const BYTE*>(kernel_name.data()),
                        static_cast<DWORD>(kernel_name.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

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

// Read-only files, a path beyond MAX_PATH, a file held open, links to a
// folder outside and "TypedURLs" made a link to another program's key, as
// only the real file system and registry have them.
TEST_F(CleanerTest, ClearCacheLeavesAHeldFileAndWhatLinksLeadTo) {
  const std::wstring root = L"C:\\CleanerTests";
  const std::wstring cache = root + L"\\Temporary Internet Files";
  const std::wstring content = cache + L"\\Content.IE5";
  const std::wstring outside = root + L"\\Outside";
  ASSERT_TRUE(MakeFolders(content + L"\\AB12CD34\\deeper") && MakeFolders(outside + L"\\nested"));
  for (const std::wstring& file :
       {cache + L"\\plain.htm", content + L"\\index.dat", content + L"\\AB12CD34\\held.dat",
        outside + L"\\keep.txt", outside + L"\\nested\\keep too.txt"}) {
    ASSERT_TRUE(MakeFile(file));
  }
  ASSERT_TRUE(MakeFile(cache + L"\\desktop.ini", true));
  ASSERT_TRUE(MakeFile(content + L"\\AB12CD34\\deeper\\script[1].js", true));
  std::wstring deep = L"\\\\?\\" + content + L"\\EF56GH78";
  for (int level = 0; level < 4; ++level) {
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    deep += L"\\" + std::wstring(90, static_cast<wchar_t>(L'a' + level));
  }
  ASSERT_TRUE(MakeFile(deep + L".txt", true));
  ASSERT_TRUE(MakeUnixFolderLink(content + L"\\AB12CD34\\linked", outside));
  ASSERT_TRUE(MakeUnixFolderLink(cache + L"\\to nested", outside + L"\\nested"));
  const Paths outside_before = Contents(outside);
  const platform::win32::UniqueKernelHandle held(
      CreateFileW((content + L"\\AB12CD34\\held.dat").c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const std::wstring other_key = L"Software\\QuellnetTests\\Another program";
  ASSERT_TRUE(WriteString({other_key + L"\\Inner", L"setting", L"keep"}));
  ASSERT_TRUE(DeleteUserKeyTree(kTypedUrls) && MakeRegistryLink(kTypedUrls, other_key));
  ASSERT_EQ(ReadUserString(kTypedUrls + std::wstring(L"\\Inner"), L"setting"), L"keep");

  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kShellFolders, L"Cache", cache}}}));
  const std::string message = Press(kIdCommand1);

  EXPECT_EQ(Contents(outside), outside_before);
  EXPECT_EQ(ReadUserString(other_key + L"\\Inner", L"setting"), L"keep");
  EXPECT_FALSE(ReadUserString(kTypedUrls + std::wstring(L"\\Inner"), L"setting").has_value());
  EXPECT_NE(message.find("1 item is in use by another program and was left.\n"), std::string::npos)
      << message;
  EXPECT_NE(message.find("\nThe list of typed addresses was cleared."), std::string::npos);
  // Wine can't remove a Unix link without acting on its target, so the
  // links stay and are reported; Windows removes them as links.
  Paths left = {L"\\Content.IE5", L"\\Content.IE5\\AB12CD34", L"\\Content.IE5\\AB12CD34\\held.dat"};
  if (Contents(cache).size() > left.size()) {
    left = {L"\\Content.IE5", L"\\Content.IE5\\AB12CD34", L"\\Content.IE5\\AB12CD34\\held.dat",
            L"\\Content.IE5\\AB12CD34\\linked", L"\\to nested"};
    EXPECT_NE(message.find("2 items could not be deleted."), std::string::npos) << message;
  }
  EXPECT_EQ(Contents(cache), left);
}

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
  ASSERT_TRUE(MakeFile(std::wstring(app_data) + L"\\settings.ini") &&
              MakeFile(documents + L"\\letter.txt") && MakeFolders(L"C:\\Decoy"));
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
