#include "base/text.h"

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

bool AppendTextN(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return false;
    size_t at = 0;
    while (at < size && dst[at])
        ++at;
    if (at == size) {
        // Not terminated: keep the buffer a valid text before refusing.
        dst[size - 1] = '\0';
        return false;
    }
    while (*src) {
        if (at + 1 >= size) {
            dst[at] = '\0';
            return false;
        }
        dst[at++] = *src++;
    }
    dst[at] = '\0';
    return true;
}

bool CopyTextPartN(char* dst, size_t size, const char* src, size_t length)
{
    if (size == 0)
        return false;
    size_t at = 0;
    for (; at < length && src[at]; ++at) {
        if (at + 1 >= size) {
            dst[at] = '\0';
            return false;
        }
        dst[at] = src[at];
    }
    dst[at] = '\0';
    return true;
}

bool CopyTextN(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return false;
    dst[0] = '\0';
    return AppendTextN(dst, size, src);
}

namespace {

struct Writer {
    char* dst;
    size_t size;
    size_t at;
    bool fit;

    void Put(char c)
    {
        if (at + 1 < size)
            dst[at++] = c;
        else
            fit = false;
    }

    void PutText(const char* text)
    {
        if (!text)
            text = "(null)";
        while (*text)
            Put(*text++);
    }

    void PutNumber(unsigned long value, unsigned base, bool negative)
    {
        char digits[24];
        int count = 0;
        do {
            unsigned digit = (unsigned)(value % base);
            digits[count++] = (char)(digit < 10 ? '0' + digit : 'a' + digit - 10);
            value /= base;
        } while (value);
        if (negative)
            Put('-');
        while (count)
            Put(digits[--count]);
    }
};

} // namespace

bool FormatTextV(char* dst, size_t size, const char* format, va_list args)
{
    if (size == 0)
        return false;
    Writer out = {dst, size, 0, true};
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out.Put(*p);
            continue;
        }
        ++p;
        bool isLong = false;
        if (*p == 'l') {
            isLong = true;
            ++p;
        }
        switch (*p) {
        case 's':
            out.PutText(va_arg(args, const char*));
            break;
        case 'c':
            out.Put((char)va_arg(args, int));
            break;
        case 'd': {
            long value = isLong ? va_arg(args, long) : va_arg(args, int);
            unsigned long magnitude = value < 0 ? 0UL - (unsigned long)value : (unsigned long)value;
            out.PutNumber(magnitude, 10, value < 0);
            break;
        }
        case 'u':
            out.PutNumber(isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned), 10, false);
            break;
        case 'x':
            out.PutNumber(isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned), 16, false);
            break;
        case '%':
            out.Put('%');
            break;
        case '\0':
            --p; // a lone % at the end prints nothing
            break;
        default:
            out.Put('%');
            out.Put(*p);
            break;
        }
    }
    dst[out.at] = '\0';
    return out.fit;
}

bool FormatTextN(char* dst, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool fit = FormatTextV(dst, size, format, args);
    va_end(args);
    return fit;
}

size_t TrimTrailingBackslashes(char* path)
{
    size_t length = TextLength(path);
    while (length > 3 && path[length - 1] == '\\')
        path[--length] = '\0';
    return length;
}
