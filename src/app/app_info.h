// Fixed texts that name the program.
#pragma once

#include <string_view>

namespace quellnet::app {

// Names the program to the platform: settings-store application name, the
// run-at-logon value name and the caption of its message boxes.
inline constexpr std::wstring_view kApplicationTitle = L"Quellnet";
inline constexpr std::wstring_view kWindowCaption = L"Corvane Quellnet 2.1";
// The lock that keeps one running copy per session ("Local\" keeps it inside
// the user's session, so other users on the same machine each run their own
// copy), and the class of the small window that says why a second start
// waits for the running copy.
inline constexpr std::wstring_view kSingleInstanceLock = L"Local\\Quellnet.SingleInstance";
inline constexpr wchar_t kWaitNoticeClassName[] = L"Quellnet.WaitNotice";

// What that window says while the running copy does not answer, or closes.
inline constexpr std::wstring_view kWaitNoAnswerYet =
    L"The Quellnet that is already running does not answer yet. Waiting: its window comes back "
    L"when it answers, or this one starts when it has closed.";
inline constexpr std::wstring_view kWaitStillClosing =
    L"The Quellnet that is already running is closing. Waiting: this one starts when it has "
    L"closed.";

// The only messages of the program's own besides the cleaners' notices: it
// can't start at all.
inline constexpr std::wstring_view kCannotCreateWindow = L"Quellnet could not create its window.";
inline constexpr std::wstring_view kCannotPrepareAccess =
    L"Quellnet could not prepare its access to Windows.";

}  // namespace quellnet::app
