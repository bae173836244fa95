// What the contract tests of the file system and the registry run against:
// the in-memory fakes that the unit tests trust, or the Win32 adapters on
// the real system. Each test program defines MakeBackend() for its side and
// includes the contract headers once; a fake that behaves otherwise than
// the real system then fails the same test the adapter passes.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace quellnet::contract {

// Behaviours some systems can't show (Wine cannot); their tests are skipped
// there with the reason.
enum class Gap {
  kFileLinks,         // a link to a file, shown and removed as a link
  kLinkRemoval,       // a link to a folder removed as the link itself
  kFileAccessRules,   // a file the user has no right to delete
  kKeyDeletionRules,  // a key the user has no right to delete
};

// Set-up steps the contracts have no call for. Paths are full; the folders
// and keys they name lie in the scratch folder and key, which the backend
// makes empty before the test and removes after it.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual platform::FileSystem& Files() = 0;
  virtual platform::Registry& Registry() = 0;
  virtual std::wstring ScratchFolder() = 0;
  virtual std::wstring ScratchKey() = 0;  // below HKEY_CURRENT_USER

  // A folder whose parent exists.
  virtual bool MakeFolder(const std::wstring& path) = 0;
  virtual bool MakeFile(const std::wstring& path, bool read_only = false) = 0;
  // A link (junction, symbolic link) to `target`, a folder or a file.
  virtual bool MakeLink(const std::wstring& link, const std::wstring& target, bool to_folder) = 0;
  // Another name of the existing `folder`, as the system's short (8.3) name.
  virtual std::wstring ShortName(const std::wstring& folder) = 0;
  // Keeps the file open, as a program does that lets nobody delete it.
  virtual bool HoldOpen(const std::wstring& path) = 0;
  // Takes the user's right to delete the file, or to change or delete the key.
  virtual bool DenyFileDeletion(const std::wstring& path) = 0;
  virtual bool DenyKeyChanges(const std::wstring& key) = 0;
  // A value that is not text (REG_DWORD).
  virtual bool PutNumber(const std::wstring& key, const std::wstring& name) = 0;
  // A registry link at `link` to the key `target`.
  virtual bool MakeKeyLink(const std::wstring& link, const std::wstring& target) = 0;
  // Why this system can't show `gap`; nullptr when it can.
  virtual const char* Lacks(Gap gap) = 0;
};

std::unique_ptr<Backend> MakeBackend();

}  // namespace quellnet::contract
