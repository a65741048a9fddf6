// FormatText against the C library's snprintf, for every conversion it
// understands, with fuzzed text around it, a fuzzed argument and a buffer of
// fuzzed size: the same bytes, cut at the same place, always terminated,
// and reported as fitting exactly when nothing was cut.
#include "base/text.h"
#include "contract.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

// Text that both read the same way: no terminator inside, every % doubled.
std::string Literal(const std::string& text)
{
    std::string literal;
    for (const char* p = text.c_str(); *p; ++p)
        literal += *p == '%' ? std::string("%%") : std::string(1, *p);
    return literal;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const conversions[] = {"%s", "%c", "%d", "%u", "%x", "%ld", "%lu", "%lx", "%%"};
    FuzzedDataProvider fuzz(data, size);
    size_t bufferSize = fuzz.ConsumeIntegralInRange<size_t>(1, 300);
    int kind = fuzz.ConsumeIntegralInRange<int>(0, 8);
    long number = fuzz.ConsumeIntegral<long>();
    std::string before = Literal(fuzz.ConsumeRandomLengthString(200));
    std::string argument = fuzz.ConsumeRandomLengthString(400).c_str();
    std::string format = before + conversions[kind] + Literal(fuzz.ConsumeRemainingBytesAsString());
    const char* f = format.c_str();

    // Exact allocations: a byte written past either is caught.
    char* out = (char*)malloc(bufferSize);
    char* expected = (char*)malloc(bufferSize);
    bool fit = false;
    int needed = 0;
    auto both = [&](auto... value) {
        fit = FormatTextN(out, bufferSize, f, value...);
        needed = snprintf(expected, bufferSize, f, value...);
    };
    if (kind == 0)
        both(argument.c_str());
    else if (kind <= 2)
        both((int)number);
    else if (kind <= 4)
        both((unsigned)number);
    else if (kind == 5)
        both(number);
    else if (kind <= 7)
        both((unsigned long)number);
    else
        both();
    CONTRACT(needed >= 0);
    size_t kept = (size_t)needed < bufferSize ? (size_t)needed : bufferSize - 1;
    CONTRACT(fit == ((size_t)needed < bufferSize));
    CONTRACT(out[kept] == '\0');
    CONTRACT(memcmp(out, expected, kept) == 0);
    free(out);
    free(expected);
    return 0;
}
