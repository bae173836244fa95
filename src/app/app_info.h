// Fixed texts that name the program.
#pragma once

#include <string_view>

namespace quellnet::app {

// Names the program to the platform: settings-store application name, the
// run-at-logon value name and the caption of its message boxes.
inline constexpr std::wstring_view kApplicationTitle = L"Quellnet";
inline constexpr std::wstring_view kWindowCaption = L"Corvane Quellnet 2.1";
// The maker's web page; also the text of the link at the bottom of the window.
// The build sets it (the CMake cache variable QUELLNET_WEB_ADDRESS), so that
// whoever ships the program names the real page without editing the code.
#ifndef QUELLNET_WEB_ADDRESS
#error "QUELLNET_WEB_ADDRESS is set by the build: the CMake cache variable of that name"
#endif
#define QUELLNET_WIDE_TEXT_(text) L##text
#define QUELLNET_WIDE_TEXT(text) QUELLNET_WIDE_TEXT_(text)
inline constexpr std::wstring_view kWebAddress = QUELLNET_WIDE_TEXT(QUELLNET_WEB_ADDRESS);

}  // namespace quellnet::app
