#include "platform/win32/process/library_search.h"

#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers declare only for Windows 8
// on.
constexpr DWORD kSearchSystemFolder = 0x00000800;

}  // namespace

void SearchLibrariesInSystemFolderOnly() {
  const Kernel32Functions& kernel32 = Kernel32();
  if (kernel32.set_default_dll_directories != nullptr &&
      kernel32.set_default_dll_directories(kSearchSystemFolder)) {
    return;
  }
  // Older systems still look in the program's folder first; the program
  // imports only what they take from the system folder anyway, and loads
  // the rest by full path. A failure leaves the search as it was.
  if (kernel32.set_dll_directory != nullptr) {
    kernel32.set_dll_directory(L"");
  }
}

}  // namespace quellnet::platform::win32
