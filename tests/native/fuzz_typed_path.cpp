// ParseTypedDestination on any text: it never reads or writes outside its
// buffers, refuses without touching them, and what it takes splits the
// text it was given.
#include "plan/typed_path.h"
#include "contract.h"
#include <algorithm>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

typedef char Path[PathSize];

// A separate allocation each, so that AddressSanitizer catches a single
// byte written past either one.
Path* NewPath()
{
    Path* path = (Path*)malloc(sizeof(Path));
    memset(*path, 'q', sizeof(Path));
    return path;
}

bool AllQ(const Path& path)
{
    return std::all_of(path, path + PathSize, [](char c) { return c == 'q'; });
}

bool Terminated(const Path& path)
{
    return memchr(path, '\0', sizeof(Path)) != nullptr;
}

bool IsValidName(const std::string& name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (unsigned char c : name)
        if (c < 32 || strchr("<>:\"/|?*\\", c))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The text ends where the data does: an exact allocation, so a read
    // past its terminator is caught too.
    char* typed = (char*)malloc(size + 1);
    memcpy(typed, data, size);
    typed[size] = '\0';
    std::string text(typed);

    Path* base = NewPath();
    Path* product = NewPath();
    TypedDestination result = ParseTypedDestination(typed, *base, *product);
    CONTRACT(result == TypedTaken || result == TypedNotAbsolute || result == TypedInvalid || result == TypedTooLong);
    CONTRACT((result == TypedTooLong) == (text.size() >= PathSize));

    if (result != TypedTaken) {
        CONTRACT(AllQ(*base) && AllQ(*product));
    } else {
        CONTRACT(Terminated(*base) && Terminated(*product));
        std::string b = *base, p = *product;
        CONTRACT(IsValidName(p));
        CONTRACT(b.size() >= 3 && b[1] == ':' && b[2] == '\\');
        char drive = (char)(b[0] | 0x20);
        CONTRACT(drive >= 'a' && drive <= 'z');
        // Every folder of the base is one Windows would make as named.
        for (size_t at = 3, end; at < b.size(); at = end + 1) {
            end = std::min(b.find('\\', at), b.size());
            CONTRACT(IsValidName(b.substr(at, end - at)));
        }
        CONTRACT(b.size() == 3 || b.back() != '\\');
        // Base and product compose the typed text, less its trailing
        // backslashes.
        std::string composed = b.size() == 3 ? b + p : b + "\\" + p;
        size_t kept = text.size();
        while (kept > 3 && text[kept - 1] == '\\')
            --kept;
        CONTRACT(composed == text.substr(0, kept));

        // Taking the composed text again gives the same split.
        Path* base2 = NewPath();
        Path* product2 = NewPath();
        CONTRACT(ParseTypedDestination(composed.c_str(), *base2, *product2) == TypedTaken);
        CONTRACT(strcmp(*base2, *base) == 0 && strcmp(*product2, *product) == 0);
        free(base2);
        free(product2);
    }
    free(base);
    free(product);
    free(typed);
    return 0;
}
