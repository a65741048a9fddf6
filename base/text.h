// Bounded text helpers. Every fixed char buffer of the installer is written
// through these: the destination's size travels with its type, and each
// helper says whether the whole text fit. A text that does not fit is cut
// at the buffer's end and stays zero-terminated.
#pragma once
#include <stddef.h>
#include <stdarg.h>

bool CopyTextN(char* dst, size_t size, const char* src);
bool AppendTextN(char* dst, size_t size, const char* src);
// Understands %s, %c, %d, %u, %lu, %x and %%: all the installer needs.
bool FormatTextV(char* dst, size_t size, const char* format, va_list args);
bool FormatTextN(char* dst, size_t size, const char* format, ...);
size_t TextLength(const char* text);
// Drops the backslashes that end a path, but never a root's own ("C:\"),
// and says how long the path is then.
size_t TrimTrailingBackslashes(char* path);
// The first length characters of src, which need not be terminated there.
bool CopyTextPartN(char* dst, size_t size, const char* src, size_t length);

template <size_t N> inline bool CopyText(char (&dst)[N], const char* src)
{
    return CopyTextN(dst, N, src);
}

template <size_t N> inline bool CopyTextPart(char (&dst)[N], const char* src, size_t length)
{
    return CopyTextPartN(dst, N, src, length);
}

template <size_t N> inline bool AppendText(char (&dst)[N], const char* src)
{
    return AppendTextN(dst, N, src);
}

template <size_t N> inline bool FormatText(char (&dst)[N], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool fit = FormatTextV(dst, N, format, args);
    va_end(args);
    return fit;
}
