#include "base/crc32.h"
#include <string.h>

namespace {

// Sixteen bytes per step through sixteen tables: every installed byte is
// read back through this loop, and the expansion may cost little more than
// the LZ service's own work. The tables (16 KB) are made on first use, so
// the program file does not carry them.
enum { Slices = 16 };
uint32_t tables[Slices][256];
bool tablesMade;

void MakeTables()
{
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        tables[0][byte] = crc;
    }
    for (int slice = 1; slice < Slices; ++slice)
        for (int byte = 0; byte < 256; ++byte)
            tables[slice][byte] = (tables[slice - 1][byte] >> 8) ^ tables[0][tables[slice - 1][byte] & 0xFF];
    tablesMade = true;
}

// Four bytes as one little-endian word, at any alignment.
inline uint32_t Word(const unsigned char* at)
{
    uint32_t word;
    memcpy(&word, at, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap32(word);
#endif
    return word;
}

} // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t size)
{
    if (!tablesMade)
        MakeTables();
    const unsigned char* at = (const unsigned char*)data;
    crc = ~crc;
    for (; size >= 16; size -= 16, at += 16) {
        uint32_t a = Word(at) ^ crc, b = Word(at + 4), c = Word(at + 8), d = Word(at + 12);
        crc = tables[15][a & 0xFF] ^ tables[14][(a >> 8) & 0xFF] ^ tables[13][(a >> 16) & 0xFF] ^ tables[12][a >> 24] ^
              tables[11][b & 0xFF] ^ tables[10][(b >> 8) & 0xFF] ^ tables[9][(b >> 16) & 0xFF] ^ tables[8][b >> 24] ^
              tables[7][c & 0xFF] ^ tables[6][(c >> 8) & 0xFF] ^ tables[5][(c >> 16) & 0xFF] ^ tables[4][c >> 24] ^
              tables[3][d & 0xFF] ^ tables[2][(d >> 8) & 0xFF] ^ tables[1][(d >> 16) & 0xFF] ^ tables[0][d >> 24];
    }
    for (; size > 0; --size)
        crc = (crc >> 8) ^ tables[0][(crc ^ *at++) & 0xFF];
    return ~crc;
}
