// FormatText with fuzzed texts for its %s arguments and fuzzed literal
// parts, into a buffer of fuzzed size: the result is what an unbounded
// expansion gives, cut to the buffer, always terminated, and reported as
// fitting exactly when nothing was cut.
#include "base/text.h"
#include "contract.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

bool Format(char* dst, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool fit = FormatTextV(dst, size, format, args);
    va_end(args);
    return fit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fuzz(data, size);
    size_t bufferSize = fuzz.ConsumeIntegralInRange<size_t>(1, 600);
    std::string args[3];
    for (std::string& arg : args)
        arg = fuzz.ConsumeRandomLengthString(700).c_str();
    std::string format = fuzz.ConsumeRemainingBytesAsString().c_str();

    // Only %s may take an argument here, at most three times; every other
    // % before a letter that takes one becomes a plain character. What the
    // rest expands to is worked out alongside.
    std::string expected;
    int used = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            expected += format[i];
            continue;
        }
        char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (next == 's' && used < 3) {
            expected += args[used++];
            ++i;
        } else if (next == '%') {
            expected += '%';
            ++i;
        } else if (next == '\0') {
            // A lone % at the end prints nothing.
        } else if (strchr("scduxl", next)) {
            format[i] = '_';
            expected += '_';
        } else {
            expected += '%';
            expected += next;
            ++i;
        }
    }

    char* out = (char*)malloc(bufferSize);
    bool fit = Format(out, bufferSize, format.c_str(), args[0].c_str(), args[1].c_str(), args[2].c_str());
    size_t length = strnlen(out, bufferSize);
    CONTRACT(length < bufferSize);
    CONTRACT(fit == (expected.size() < bufferSize));
    CONTRACT(std::string(out, length) == expected.substr(0, bufferSize - 1));
    free(out);
    return 0;
}
