// What differs between the 32-bit and the 64-bit program, in one place.
//
// Both are built from the same sources. By nature they differ in:
//
//  - Pointer-sized fields. Handles (HWND, HICON, ...) and window data
//    (GWLP_*, DWORD_PTR message results) are 4 bytes in the 32-bit program
//    and 8 in the 64-bit one; the code uses the *Ptr functions and
//    pointer-sized types throughout, so nothing is cut to 32 bits.
//  - The first form of the tray record (NOTIFYICONDATAA up to the 64-byte
//    tip): 88 bytes in the 32-bit program, 104 in the 64-bit one (two 8-byte
//    handles, each aligned to 8). Every Windows version accepts it.
//  - What a 32-bit program sees on 64-bit Windows (WOW64):
//      * Program Files: the system names "C:\Program Files (x86)" as the
//        program-files folder; the 64-bit one is named only by the variable
//        ProgramW6432. Both are protected from the cleaners.
//      * File-system redirection: "%windir%\System32" leads to SysWOW64; the
//        real System32 is reached as "%windir%\Sysnative". The cleaners
//        protect every one of these names.
//      * Registry redirection: none for what the program uses. HKCU\Software
//        (the options, the Run key, the browser's keys) is shared by 32-bit
//        and 64-bit programs; only HKCU\Software\Classes is redirected.
//      * Services: the service control manager is one for both; a 32-bit
//        program stops and starts the real service.
#pragma once

#include <cstddef>

namespace quellnet::platform::win32 {

inline constexpr bool kIs64BitProgram = sizeof(void*) == 8;

// Size of the first form of NOTIFYICONDATAA.
inline constexpr std::size_t kTrayRecordV1Size = kIs64BitProgram ? 104 : 88;

}  // namespace quellnet::platform::win32
