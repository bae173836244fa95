// Where the three user options live in the settings store. Every call passes
// the application title as the application name.
#pragma once

#include <string_view>

namespace quellnet::app {

inline constexpr std::wstring_view kOptionsSection = L"Options";
// Read when a key is absent.
inline constexpr std::wstring_view kOptionDefault = L"0";

inline constexpr std::wstring_view kKeyStartUp = L"StartUp";          // chkStartup
inline constexpr std::wstring_view kKeyHideOnStart = L"HideOnStart";  // chkHideOnStart
inline constexpr std::wstring_view kKeyMess = L"mess";                // chkmess

}  // namespace quellnet::app
