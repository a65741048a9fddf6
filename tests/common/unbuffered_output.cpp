// Linked into every test program as an object of its own, so that the
// linker cannot drop it. Written into a pipe, the C library's output waits
// in a buffer of several kilobytes; a program that crashes or is killed
// loses it, and leaves no line that says how far it got.
#include <stdio.h>

namespace {

struct UnbufferedOutput {
    UnbufferedOutput()
    {
        setvbuf(stdout, NULL, _IONBF, 0);
        setvbuf(stderr, NULL, _IONBF, 0);
    }
} const unbufferedOutput;

} // namespace
