// Removing the run-at-logon value of a program that is gone.
#pragma once

#include <string>

namespace quellnet::packaging {

enum class ForgetResult {
  kRemoved,
  kKept,    // no value, another program's, or `program` still exists
  kFailed,  // the Run key or the value could not be read or deleted
};

// Removes this user's run-at-logon value "Quellnet" when it starts
// `program` (the data Quellnet itself writes for that path) and `program`
// no longer exists. Run after the package has removed its files: during an
// upgrade the newer version keeps the same program file, and the user's
// choice to start it at logon stays.
ForgetResult ForgetRunEntry(const std::wstring& program);

}  // namespace quellnet::packaging
