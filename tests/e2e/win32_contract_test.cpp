// The contract tests against the Win32 adapters that quellnet.exe links, on
// the real file system and registry: each test works in a folder and a key
// of its own, below C:\ContractTests and HKCU\Software\QuellnetTests. The
// fakes pass the same tests (tests/unit/fakes_contract_test.cpp).
#include <cwchar>
#include <string>
#include <vector>

#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "fixture.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/process/library_search.h"
#include "platform/win32/process/redirection_guard_win32.h"
#include "platform/win32/system/optional_functions_win32.h"

// After <windows.h>, which harness.h brings in.
#include <sddl.h>

namespace quellnet::contract {
namespace {

using platform::win32::UniqueHKey;
using platform::win32::UniqueKernelHandle;

// Leaves everyone `allowed` on the key below HKEY_CURRENT_USER, and nothing
// else: a protected access list, which inherits nothing from above. The
// owner may always change it.
bool AllowOnly(const std::wstring& key, DWORD allowed) {
  wchar_t sddl[40];
  std::swprintf(sddl, 40, L"D:P(A;;0x%lx;;;WD)", allowed);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  UniqueHKey opened;
  const bool set =
      ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                           nullptr) &&
      RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, WRITE_DAC, opened.Receive()) ==
          ERROR_SUCCESS &&
      RegSetKeySecurity(opened.Get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return set;
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
  const UniqueKernelHandle owned_token(token);
  if (!named) {
    return false;
  }
  const std::wstring kernel_name = L"\\Registry\\User\\" + std::wstring(sid) + L"\\" + target;
  LocalFree(sid);
  UniqueHKey key;
  UniqueHKey through;
  return RegCreateKeyExW(HKEY_CURRENT_USER, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                         KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, key.Receive(),
                         nullptr) == ERROR_SUCCESS &&
         RegSetValueExW(key.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                        reinterpret_cast<const BYTE*>(kernel_name.data()),
                        static_cast<DWORD>(kernel_name.size() * sizeof(wchar_t))) ==
             ERROR_SUCCESS &&
         // Opened as a key, the link leads to its target, which exists.
         RegOpenKeyExW(HKEY_CURRENT_USER, link.c_str(), 0, KEY_READ, through.Receive()) ==
             ERROR_SUCCESS;
}

constexpr wchar_t kScratch[] = L"C:\\ContractTests";

class Win32Backend final : public Backend {
 public:
  // Named by the test and this run, so nothing an earlier run left is in the way.
  Win32Backend() {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring name =
        std::to_wstring(GetCurrentProcessId()) + L" " + std::wstring(test.begin(), test.end());
    folder_ = std::wstring(kScratch) + L"\\" + name;
    key_ = L"Software\\QuellnetTests\\" + name;
    e2e::MakeFolders(folder_);
    registry_->CreateKey(key_);
  }
  // The key goes once the rights taken are given back (the owner may always
  // do that). The files stay: each test has a folder of its own, and the
  // prefix they are in is thrown away.
  ~Win32Backend() override {
    held_.clear();
    for (const std::wstring& key : denied_) {
      AllowOnly(key, KEY_ALL_ACCESS);
    }
    registry_->DeleteKeyTree(key_);
  }

  platform::FileSystem& Files() override { return *files_; }
  platform::Registry& Registry() override { return *registry_; }
  std::wstring ScratchFolder() override { return folder_; }
  std::wstring ScratchKey() override { return key_; }

  bool MakeFolder(const std::wstring& path) override {
    return CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
  }
  bool MakeFile(const std::wstring& path, bool read_only) override {
    return UniqueKernelHandle(CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, read_only ? FILE_ATTRIBUTE_READONLY : 0,
                                          nullptr))
        .IsValid();
  }
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    return e2e::MakeLink(link, target);
  }
  bool Rename(const std::wstring& from, const std::wstring& to) override {
    return MoveFileW(from.c_str(), to.c_str());
  }
  std::wstring ShortName(const std::wstring& folder) override {
    wchar_t name[MAX_PATH];
    const DWORD length = GetShortPathNameW(folder.c_str(), name, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(name, length) : folder;
  }
  bool HoldOpen(const std::wstring& path) override {
    held_.emplace_back(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    return held_.back().IsValid();
  }
  bool DenyKeyChanges(const std::wstring& key) override {
    denied_.push_back(key);
    return AllowOnly(denied_.back(), KEY_READ);
  }
  bool PutNonText(const std::wstring& key, const std::wstring& name, Stored stored) override {
    // Little-endian, the first bytes of 0x31 are the list of the one text "1".
    const ULONGLONG data = stored == Stored::kMultiText ? 0x31 : 1;
    const DWORD types[] = {REG_DWORD, REG_QWORD, REG_MULTI_SZ};
    const DWORD sizes[] = {4, 8, 3 * sizeof(wchar_t)};
    return SHSetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), types[int(stored)], &data,
                       sizes[int(stored)]) == ERROR_SUCCESS;
  }
  bool MakeKeyLink(const std::wstring& link, const std::wstring& target) override {
    return MakeRegistryLink(link, target);
  }

  const char* LacksLinkRemoval() override {
    return e2e::IsWine() ? "Wine opens a link to a folder as its target, so the adapter leaves it"
                         : nullptr;
  }

 private:
  std::unique_ptr<platform::FileSystem> files_ = platform::win32::CreateFileSystem();
  std::unique_ptr<platform::Registry> registry_ = platform::win32::CreateRegistry();
  std::wstring folder_;
  std::wstring key_;
  std::vector<UniqueKernelHandle> held_;
  std::vector<std::wstring> denied_;  // keys whose rights were taken
};

// Text stored as REG_EXPAND_SZ, as a user or a tool may store a folder's
// location, is read with its variables expanded, by both reads; the same
// text stored as REG_SZ is read as it is.
TEST_F(RegistryContract, ExpandableTextIsReadWithItsVariablesExpanded) {
  constexpr wchar_t kText[] = L"%SystemDrive%\\Cache";
  for (const DWORD type : {REG_EXPAND_SZ, REG_SZ}) {
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, root_.c_str(), L"v", type, kText, sizeof kText),
              ERROR_SUCCESS);
    std::wstring read, own;
    EXPECT_TRUE(registry_.ReadText(root_, L"v", read) == kOk &&
                registry_.ReadOwnValue(root_, L"v", own) == kOk);
    EXPECT_EQ(read, type == REG_SZ ? kText : L"C:\\Cache") << type;
    EXPECT_EQ(own, read) << type;
  }
}

// A read-only file goes by the POSIX deletion (Windows 10 1809 and later),
// which frees its name at once, even while another program that made it
// holds it open sharing its deletion; the older deletion leaves it pending
// until then.
class Win32Deletion : public FileSystemContract {};

TEST_F(Win32Deletion, AReadOnlyFileHeldOpenSharingDeletionLeavesItsNameAtOnce) {
  QUELLNET_SKIP_UNDER_WINE("deletes a file only once its last handle is closed");
  OSVERSIONINFOW version{sizeof version};
  const auto get_version =
      e2e::SystemFunction<LONG(WINAPI*)(OSVERSIONINFOW*)>(L"ntdll.dll", "RtlGetVersion");
  if (get_version == nullptr || get_version(&version) != 0 || version.dwBuildNumber < 17763) {
    GTEST_SKIP() << "Windows before 10 1809 has no POSIX deletion";
  }
  const UniqueKernelHandle held(CreateFileW(At(L"read-only.txt").c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr));
  ASSERT_TRUE(held.IsValid());
  EXPECT_EQ(RemoveThroughHandle(*Open(root_), L"read-only.txt"), FsStatus::kOk);
  EXPECT_TRUE(backend_->MakeFile(At(L"read-only.txt")))
      << "the name is still taken (error " << GetLastError() << ")";
}

// A library of the system is taken from the system folder even where one of
// its name lies beside the program and the search still starts there. Once
// the program has restricted its search, one beside it is no longer found by
// its name alone, but still by its full path.
TEST(LibrarySearch, ALibraryBesideTheProgramIsFoundOnlyByItsFullPath) {
  wchar_t beside[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, beside, MAX_PATH);
  ASSERT_TRUE(length > 0 && length < MAX_PATH);
  const std::wstring folder(beside, std::wstring_view(beside, length).rfind(L'\\') + 1);
  const std::wstring hook = folder + e2e::kThreadHooks;
  // A library without the accessibility functions, under their library's
  // name; removed again, as other test programs may share this folder.
  const std::wstring planted = folder + L"oleacc.dll";
  ASSERT_EQ(GetModuleHandleW(L"oleacc.dll"), nullptr) << "loaded already: nothing to tell";
  ASSERT_TRUE(CopyFileW(hook.c_str(), planted.c_str(), FALSE));
  // Wine takes its own library over one beside the program unless told to
  // prefer the latter; Windows has no such setting and ignores the key.
  ASSERT_TRUE(e2e::WriteString({L"Software\\Wine\\DllOverrides", L"oleacc", L"native,builtin"}));
  const bool from_system = platform::win32::Oleacc().dll_get_class_object != nullptr;
  SHDeleteValueW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"oleacc");
  DeleteFileW(planted.c_str());
  EXPECT_TRUE(from_system) << "the library beside the program was loaded";
  platform::win32::SearchLibrariesInSystemFolderOnly();
  EXPECT_EQ(LoadLibraryW(e2e::kThreadHooks), nullptr);
  EXPECT_NE(LoadLibraryW(hook.c_str()), nullptr) << "no library beside the test";
}

// What the process asks of the loader and of its mitigation policies, read
// back through a stand-in for kernel32's table: the search for libraries
// kept to the system folder (LOAD_LIBRARY_SEARCH_SYSTEM32), and where the
// system can't or won't, at least the current folder taken out of it; links
// that an unprivileged program made refused (ProcessRedirectionTrustPolicy,
// EnforceRedirectionTrust) where the policy exists.
std::string asked;
BOOL accept_default_folders = TRUE;
BOOL WINAPI SetDefaultFolders(DWORD flags) {
  asked += "default folders " + std::to_string(flags) + "; ";
  return accept_default_folders;
}
BOOL WINAPI SetFolder(const wchar_t* folder) {
  asked += "folder \"" + std::string(folder, folder + wcslen(folder)) + "\"; ";
  return TRUE;
}
BOOL WINAPI SetPolicy(int policy, void* value, SIZE_T size) {
  asked += "policy " + std::to_string(policy) + " flags " +
           std::to_string(*static_cast<DWORD*>(value)) + " size " + std::to_string(size) + "; ";
  return TRUE;
}

TEST(ProcessProtections, EachSystemIsAskedForWhatItOffers) {
  struct Case {
    const char* system;
    platform::win32::Kernel32Functions kernel32;
    BOOL accepts;
    std::string expected;
  } cases[] = {
      {"Windows 10 22H2 on",
       {SetDefaultFolders, SetFolder, nullptr, SetPolicy},
       TRUE,
       "default folders 2048; policy 16 flags 1 size 4; "},
      {"without the restricted search's update",
       {SetDefaultFolders, SetFolder},
       FALSE,
       "default folders 2048; folder \"\"; "},
      {"XP", {nullptr, SetFolder}, TRUE, "folder \"\"; "},
  };
  for (const Case& system : cases) {
    asked.clear();
    accept_default_folders = system.accepts;
    platform::win32::UseKernel32Functions(&system.kernel32);
    platform::win32::SearchLibrariesInSystemFolderOnly();
    platform::win32::RefuseUntrustedLinks();
    platform::win32::UseKernel32Functions(nullptr);
    EXPECT_EQ(asked, system.expected) << system.system;
  }
}

}  // namespace

std::unique_ptr<Backend> MakeBackend() {
  return std::make_unique<Win32Backend>();
}

}  // namespace quellnet::contract
