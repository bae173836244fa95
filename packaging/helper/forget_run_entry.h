// Removing the run-at-logon value of the program that is being uninstalled.
#pragma once

#include <string>

namespace quellnet::packaging {

enum class ForgetResult {
  kRemoved,
  kKept,    // no value, or one that starts another program
  kFailed,  // the Run key or the value could not be read or deleted
};

// Removes this user's run-at-logon value "Quellnet" when Windows would start
// `program` by it: in quotes or not (then with the blanks of a path without
// quotes taken as Windows takes them), in any letter case, by its long or
// its short name, with or without arguments. Run before the package removes
// its files: a file that exists is recognised by its identity, whatever name
// leads to it. Once `program` is gone, a value that names it by the same
// text, letter case aside, is removed too.
ForgetResult ForgetRunEntry(const std::wstring& program);

}  // namespace quellnet::packaging
