// Which run-at-logon value starts the installed program: the rule by which
// the package forgets the value "Quellnet" at uninstall, and only that one.
// Portable logic, without a Windows header; the helper gives it the files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quellnet::packaging {

// A file as the file system knows it, whatever name leads to it.
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

class FileIds {
 public:
  virtual ~FileIds() = default;
  // The file at `path`, by any name of it (long or short, any letter case);
  // nullopt when no file is there (nothing, or a folder).
  virtual std::optional<FileId> IdOf(const std::wstring& path) = 0;
};

// True when Windows, running `command` (a Run value's data), starts
// `program`: a name in quotes ends at its closing quote; a name without
// quotes may hold blanks, and Windows takes the text before each blank in
// turn, shortest first, and runs the first that is a file (with ".exe"
// added to a name without an extension). While `program` exists, names are
// compared by the file they lead to; once it is gone, by their text alone,
// letter case aside.
bool StartsProgram(std::wstring_view command, const std::wstring& program, FileIds& files);

enum class ForgetResult {
  kRemoved,
  kKept,    // no value, one that is not text, or one that starts another program
  kFailed,  // the Run key or the value could not be read or deleted
};

// Removes the user's run-at-logon value "Quellnet" when it starts `program`.
ForgetResult ForgetRunEntry(platform::Registry& registry, FileIds& files,
                            const std::wstring& program);

}  // namespace quellnet::packaging
