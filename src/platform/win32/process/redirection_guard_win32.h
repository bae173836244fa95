// Links the program never needs to follow.
#pragma once

namespace quellnet::platform::win32 {

// From Windows 10 22H2 on, makes the system refuse to follow, for this
// process, a junction or symbolic link that a program without administrator
// rights made (RedirectionGuard). A link in the browser's folders is then
// no way to turn the program's work elsewhere, whatever the program does;
// the cleaners never follow one anyway. Elsewhere it does nothing.
void RefuseUntrustedLinks();

}  // namespace quellnet::platform::win32
