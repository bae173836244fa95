// The contract tests against the in-memory fakes the unit tests trust; the
// Win32 adapters pass the same tests (tests/e2e/win32_contract_test.cpp).
#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"

namespace quellnet::contract {
namespace {

using platform::FsStatus;

// The fake file system knows no read-only files: it removes them all. The
// fake registry follows no link: a link is a key of its own, which only the
// calls on the program's own keys refuse.
struct FakeBackend final : Backend {
  FakeBackend() {
    files.AddFolder(ScratchFolder());
    registry.AddKey(ScratchKey());
  }
  platform::FileSystem& Files() override { return files; }
  platform::Registry& Registry() override { return registry; }
  std::wstring ScratchFolder() override { return L"C:\\ContractTests"; }
  std::wstring ScratchKey() override { return L"Software\\QuellnetTests"; }
  bool MakeFolder(const std::wstring& path) override { return files.AddFolder(path), true; }
  bool MakeFile(const std::wstring& path, bool) override { return files.AddFile(path), true; }
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    return files.AddLink(link, target, files.entries.at(target).type.folder), true;
  }
  bool Rename(const std::wstring& from, const std::wstring& to) override {
    return files.Move(from, to), true;
  }
  std::wstring ShortName(const std::wstring& folder) override {
    return files.aliases[ScratchFolder() + L"\\ALONGF~1"] = folder, ScratchFolder() + L"\\ALONGF~1";
  }
  bool HoldOpen(const std::wstring& path) override {
    return files.delete_errors[path] = FsStatus::kInUse, true;
  }
  bool DenyKeyChanges(const std::wstring& key) override {
    return registry.failing[key] = {platform::RegStatus::kAccessDenied, 5}, true;
  }
  bool PutNonText(const std::wstring& key, const std::wstring& name, Stored stored) override {
    return (stored == Stored::kMultiText ? registry.Put(key, name, L"1", false)
                                         : registry.PutNumber(key, name, 1)),
           true;
  }
  bool MakeKeyLink(const std::wstring& link, const std::wstring&) override {
    return registry.AddKey(link), registry.links.insert(link), true;
  }
  const char* LacksLinkRemoval() override { return nullptr; }

  fakes::FakeFileSystem files;
  fakes::FakeRegistry registry;
};

}  // namespace

std::unique_ptr<Backend> MakeBackend() {
  return std::make_unique<FakeBackend>();
}

}  // namespace quellnet::contract
