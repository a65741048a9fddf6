#include "base/crc32.h"
#include <string.h>
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define CRC32_CARRYLESS 1
#endif

namespace {

// Every installed byte is read back through this code, and the check may
// cost little next to the LZ service's own work: processors that multiply
// without carries fold 64 bytes per step; the others take sixteen bytes
// per step through sixteen tables (16 KB, made on first use, so the program
// file does not carry them).
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

// The CRC register (inverted, as it runs) after size more bytes.
uint32_t TableCrc(uint32_t crc, const unsigned char* at, size_t size)
{
    for (; size >= 16; size -= 16, at += 16) {
        uint32_t a = Word(at) ^ crc, b = Word(at + 4), c = Word(at + 8), d = Word(at + 12);
        crc = tables[15][a & 0xFF] ^ tables[14][(a >> 8) & 0xFF] ^ tables[13][(a >> 16) & 0xFF] ^ tables[12][a >> 24] ^
              tables[11][b & 0xFF] ^ tables[10][(b >> 8) & 0xFF] ^ tables[9][(b >> 16) & 0xFF] ^ tables[8][b >> 24] ^
              tables[7][c & 0xFF] ^ tables[6][(c >> 8) & 0xFF] ^ tables[5][(c >> 16) & 0xFF] ^ tables[4][c >> 24] ^
              tables[3][d & 0xFF] ^ tables[2][(d >> 8) & 0xFF] ^ tables[1][(d >> 16) & 0xFF] ^ tables[0][d >> 24];
    }
    for (; size > 0; --size)
        crc = (crc >> 8) ^ tables[0][(crc ^ *at++) & 0xFF];
    return crc;
}

#ifdef CRC32_CARRYLESS
// Whether the processor multiplies without carries and the system saves
// the SSE registers when it switches threads (it says so through XCR0; a
// system too old to say so gets the tables).
bool CanFold()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const unsigned pclmul = 1u << 1, osxsave = 1u << 27, sse2 = 1u << 26;
    if (!(c & pclmul) || !(c & osxsave) || !(d & sse2))
        return false;
    unsigned low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 2) != 0;
}

// Folding by carry-less multiplication (Gopal et al., "Fast CRC Computation
// for Generic Polynomials Using PCLMULQDQ Instruction", Intel 2009), for
// the bit-reflected polynomial: four lanes of 16 bytes folded 64 bytes
// ahead, then into one lane, then 16 bytes at a time, then Barrett's
// reduction to 32 bits. size is at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse2")))
#ifdef __i386__
// The 32-bit Windows ABI keeps the stack 4-byte aligned only.
__attribute__((force_align_arg_pointer))
#endif
uint32_t FoldedCrc(uint32_t crc, const unsigned char* at, size_t size)
{
    const __m128i k1k2 = _mm_set_epi64x(0x01C6E41596, 0x0154442BD4);
    const __m128i k3k4 = _mm_set_epi64x(0x00CCAA009E, 0x01751997D0);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163CD6124);
    const __m128i poly = _mm_set_epi64x(0x01F7011641, 0x01DB710641);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i x1 = _mm_xor_si128(_mm_loadu_si128((const __m128i*)at), _mm_cvtsi32_si128((int)crc));
    __m128i x2 = _mm_loadu_si128((const __m128i*)(at + 16));
    __m128i x3 = _mm_loadu_si128((const __m128i*)(at + 32));
    __m128i x4 = _mm_loadu_si128((const __m128i*)(at + 48));
    for (at += 64, size -= 64; size >= 64; at += 64, size -= 64) {
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k1k2, 0x00), _mm_clmulepi64_si128(x1, k1k2, 0x11)),
                           _mm_loadu_si128((const __m128i*)at));
        x2 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x2, k1k2, 0x00), _mm_clmulepi64_si128(x2, k1k2, 0x11)),
                           _mm_loadu_si128((const __m128i*)(at + 16)));
        x3 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x3, k1k2, 0x00), _mm_clmulepi64_si128(x3, k1k2, 0x11)),
                           _mm_loadu_si128((const __m128i*)(at + 32)));
        x4 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x4, k1k2, 0x00), _mm_clmulepi64_si128(x4, k1k2, 0x11)),
                           _mm_loadu_si128((const __m128i*)(at + 48)));
    }
    x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k3k4, 0x00), _mm_clmulepi64_si128(x1, k3k4, 0x11)), x2);
    x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k3k4, 0x00), _mm_clmulepi64_si128(x1, k3k4, 0x11)), x3);
    x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k3k4, 0x00), _mm_clmulepi64_si128(x1, k3k4, 0x11)), x4);
    for (; size >= 16; at += 16, size -= 16)
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k3k4, 0x00), _mm_clmulepi64_si128(x1, k3k4, 0x11)),
                           _mm_loadu_si128((const __m128i*)at));

    // 128 bits to 64, then Barrett's reduction.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00), _mm_srli_si128(x1, 4));
    __m128i x2b = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10), low32);
    x1 = _mm_xor_si128(x1, _mm_clmulepi64_si128(x2b, poly, 0x00));
    return (uint32_t)_mm_cvtsi128_si32(_mm_srli_si128(x1, 4));
}
#endif

} // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t size)
{
    if (!tablesMade)
        MakeTables();
    const unsigned char* at = (const unsigned char*)data;
    crc = ~crc;
#ifdef CRC32_CARRYLESS
    static const bool fold = CanFold();
    if (fold && size >= 64) {
        size_t folded = size & ~(size_t)15;
        crc = FoldedCrc(crc, at, folded);
        at += folded;
        size -= folded;
    }
#endif
    return ~TableCrc(crc, at, size);
}
