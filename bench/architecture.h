// Which build a benchmark measured: each benchmark program is built for the
// architecture of the program it measures and says so first.
#pragma once

namespace quellnet::bench {

inline constexpr const char* kMeasuredArchitecture =
    sizeof(void*) == 8 ? "x64 (the 64-bit program, under 64-bit Wine)"
                       : "x86 (the 32-bit program, under 32-bit Wine)";

}  // namespace quellnet::bench
