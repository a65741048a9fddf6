// Pure: also built natively, under the sanitizers (tests/native).
#include "install/szdd_header.h"
#include <gtest/gtest.h>
#include <vector>

// Each of bytes 10 to 13 lands in its own place, the top bit included, and
// nothing past the fourteenth is read: the vector has no byte to spare, so
// the native build's AddressSanitizer sees any read beyond it.
TEST(PayloadHeader, OnlyAnSzddFileOfModeAAnnouncesItsLengthReadLittleEndianFromTheHeaderAlone)
{
    std::vector<unsigned char> header = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, 'A', 'e', 0x10, 0x32, 0x04, 0};
    uint32_t length = 0;
    EXPECT_TRUE(ReadExpandedLength(header.data(), 14, &length));
    EXPECT_EQ(0x43210u, length);
    for (uint32_t expected : {0x80000000u, 0xFFFFFFFFu, 0x01020304u, 0u}) {
        for (int k = 0; k < 4; ++k)
            header[10 + k] = (unsigned char)(expected >> (8 * k));
        length = 0x5A5A5A5Au;
        EXPECT_TRUE(ReadExpandedLength(header.data(), header.size(), &length));
        EXPECT_EQ(expected, length);
    }
    EXPECT_FALSE(ReadExpandedLength(header.data(), 13, &length)) << "shorter than the header";
    EXPECT_FALSE(ReadExpandedLength(header.data(), 0, &length));
    EXPECT_FALSE(ReadExpandedLength(nullptr, 14, nullptr)) << "no data at all";
    header[8] = 'B';
    EXPECT_FALSE(ReadExpandedLength(header.data(), 14, &length)) << "another mode";
    header[8] = 'A';
    header[3] = 'X';
    EXPECT_FALSE(ReadExpandedLength(header.data(), 14, &length)) << "no magic";
}
