// The maker's web page, apart from the other fixed texts: only the window
// shows it, and only what is built with the address includes this header.
#pragma once

#include <string_view>

namespace quellnet::app {

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
