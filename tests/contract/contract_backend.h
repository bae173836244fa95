// What the contract tests of the file system and the registry run against:
// the in-memory fakes that the unit tests trust, or the Win32 adapters on
// the real system. Each test program defines MakeBackend() for its side and
// includes the contract headers once, so a fake that behaves otherwise than
// the real system fails the very test the adapter passes.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace quellnet::contract {

// Set-up steps the contracts have no call for, each true when done. Paths
// are full and lie in the scratch folder or key, which the backend makes
// for the test and removes after it.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual platform::FileSystem& Files() = 0;
  virtual platform::Registry& Registry() = 0;
  virtual std::wstring ScratchFolder() = 0;
  virtual std::wstring ScratchKey() = 0;  // below HKEY_CURRENT_USER

  virtual bool MakeFolder(const std::wstring& path) = 0;  // its parent exists
  virtual bool MakeFile(const std::wstring& path, bool read_only = false) = 0;
  // A link to the folder or file `target`.
  virtual bool MakeLink(const std::wstring& link, const std::wstring& target) = 0;
  // Renames an entry, as another program may at any moment.
  virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
  // The system's short (8.3) name of an existing folder.
  virtual std::wstring ShortName(const std::wstring& folder) = 0;
  // Holds the file open as a program does that lets nobody delete it.
  virtual bool HoldOpen(const std::wstring& path) = 0;
  // Takes the user's right to change the key.
  virtual bool DenyKeyChanges(const std::wstring& key) = 0;
  // A value that is not text: a REG_DWORD or REG_QWORD 1, or a REG_MULTI_SZ "1".
  enum class Stored { kDword, kQword, kMultiText };
  virtual bool PutNonText(const std::wstring& key, const std::wstring& name, Stored stored) = 0;
  virtual bool MakeKeyLink(const std::wstring& link, const std::wstring& target) = 0;
  // Why this system can't remove a link to a folder as the link itself;
  // nullptr when it can.
  virtual const char* LacksLinkRemoval() = 0;
};

std::unique_ptr<Backend> MakeBackend();

}  // namespace quellnet::contract
