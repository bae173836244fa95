// The contract tests against the in-memory fakes the unit tests trust; the
// Win32 adapters pass the same tests on the real system
// (tests/e2e/win32_contract_test.cpp).
#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"

namespace quellnet::contract {
namespace {

class FakeBackend final : public Backend {
 public:
  FakeBackend() {
    files_.AddFolder(ScratchFolder());
    registry_.AddKey(ScratchKey());
  }
  platform::FileSystem& Files() override { return files_; }
  platform::Registry& Registry() override { return registry_; }
  std::wstring ScratchFolder() override { return L"C:\\ContractTests"; }
  std::wstring ScratchKey() override { return L"Software\\QuellnetTests"; }

  // The fake knows no read-only files: it removes every file.
  bool MakeFolder(const std::wstring& path) override { return files_.AddFolder(path), true; }
  bool MakeFile(const std::wstring& path, bool) override { return files_.AddFile(path), true; }
  bool MakeLink(const std::wstring& link, const std::wstring& target, bool to_folder) override {
    return files_.AddLink(link, target, to_folder), true;
  }
  std::wstring ShortName(const std::wstring& folder) override {
    const std::wstring name = folder.substr(0, folder.rfind(L'\\')) + L"\\ALONGF~1";
    files_.aliases[name] = folder;
    return name;
  }
  bool HoldOpen(const std::wstring& path) override {
    return files_.delete_errors[path] = platform::FsStatus::kInUse, true;
  }
  bool DenyFileDeletion(const std::wstring& path) override {
    return files_.delete_errors[path] = platform::FsStatus::kAccessDenied, true;
  }
  bool DenyKeyChanges(const std::wstring& key) override {
    return registry_.failing[key] = platform::RegStatus::kAccessDenied, true;
  }
  bool PutNumber(const std::wstring& key, const std::wstring& name) override {
    return registry_.Put(key, name, L"", false), true;
  }
  // The fake follows no registry link: a link is a key of its own.
  bool MakeKeyLink(const std::wstring& link, const std::wstring&) override {
    return registry_.AddKey(link), true;
  }
  const char* Lacks(Gap) override { return nullptr; }

 private:
  fakes::FakeFileSystem files_;
  fakes::FakeRegistry registry_;
};

}  // namespace

std::unique_ptr<Backend> MakeBackend() {
  return std::make_unique<FakeBackend>();
}

}  // namespace quellnet::contract
