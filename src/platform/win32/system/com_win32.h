// COM on the window's thread (the program's only one) for everything that
// needs it: the shell's handlers of an address, the taskbar's interface and
// the picture loader. It starts at the first use, not at start-up, so the
// window never waits for ole32, and it ends as the program ends, after the
// window and every COM object it held are gone.
#pragma once

namespace quellnet::platform::win32 {

// Starts COM (a single-threaded apartment) on the calling thread at the first
// call, once for the run; true when it runs.
bool StartCom();

}  // namespace quellnet::platform::win32
