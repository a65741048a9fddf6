#include "install/szdd_header.h"
#include <string.h>

bool ReadExpandedLength(const void* data, size_t size, uint32_t* length)
{
    static const unsigned char magic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
    const unsigned char* bytes = (const unsigned char*)data;
    if (!bytes || size < 14 || memcmp(bytes, magic, sizeof magic) != 0 || bytes[8] != 'A')
        return false;
    *length = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16) | ((uint32_t)bytes[13] << 24);
    return true;
}
