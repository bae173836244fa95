// Fixed texts that name the program.
#pragma once

#include <string_view>

namespace quellnet::platform {

// Names the program to the platform: settings-store application name, the
// run-at-logon value name and the caption of its message boxes.
inline constexpr std::wstring_view kApplicationTitle = L"Quellnet";
inline constexpr std::wstring_view kWindowCaption = L"Corvane Quellnet 2.1";
// The maker's web page; also the text of the link at the bottom of the window.
inline constexpr std::wstring_view kWebAddress = L"http://www.quellnet.example/";

}  // namespace quellnet::platform
