// ReadExpandedLength on any data: it reads nothing past what it is given
// (libFuzzer's data is an exact allocation), accepts exactly the SZDD files
// of mode A, and announces the length stored in bytes 10 to 13.
#include "install/szdd_header.h"
#include "contract.h"
#include <stdint.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const uint8_t magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    uint32_t length = 0xA5A5A5A5u;
    bool read = ReadExpandedLength(data, size, &length);
    bool isModeA = size >= 14 && memcmp(data, magic, 8) == 0 && data[8] == 'A';
    CONTRACT(read == isModeA);
    if (read) {
        uint32_t stored = 0;
        for (int k = 3; k >= 0; --k)
            stored = stored << 8 | data[10 + k];
        CONTRACT(length == stored);
    }
    return 0;
}
