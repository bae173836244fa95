// The colour a text of the window's own colour is drawn in, chosen from the
// scheme it lies on.
#pragma once

#include <windows.h>

namespace quellnet::platform::win32 {

// `own` where it stands out from `face` enough to be read and no
// high-contrast scheme is on; `scheme_link`, the scheme's colour for links,
// otherwise.
COLORREF ReadableColour(COLORREF own, COLORREF face, COLORREF scheme_link, bool high_contrast);

}  // namespace quellnet::platform::win32
