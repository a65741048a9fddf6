// Pure: also built natively, under the sanitizers (tests/native).
#include "base/crc32.h"
#include "base/image_digest.h"
#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {

// The definition, one bit at a time: what the table-driven code must equal.
uint32_t BitwiseCrc32(const unsigned char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t at = 0; at < size; ++at) {
        crc ^= data[at];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// Little-endian numbers of any width, as the image stores them.
void Put(std::vector<unsigned char>& image, size_t at, uint64_t value, int bytes = 4)
{
    for (int k = 0; k < bytes; ++k)
        image[at + k] = (unsigned char)(value >> (8 * k));
}

uint64_t Get(const std::vector<unsigned char>& image, size_t at, int bytes)
{
    uint64_t value = 0;
    for (int k = bytes - 1; k >= 0; --k)
        value = value << 8 | image[at + k];
    return value;
}

void AddSection(std::vector<unsigned char>& image, int index, const char* name, uint32_t rva, uint32_t size,
                uint32_t flags)
{
    size_t header = 0x40 + 24 + 0xE0 + 40 * index;
    memcpy(&image[header], name, strlen(name));
    Put(image, header + 8, size);
    Put(image, header + 12, rva);
    Put(image, header + 16, size);
    Put(image, header + 36, flags);
}

enum : uint32_t { Code = 0x60000020, ReadOnlyData = 0x40000040, Data = 0xC0000040, Relocations = 0x42000040 };

// A PE32 image as the loader maps it: code, constants, writable data, the
// seal, and a relocation table with 32-bit and 64-bit sites, one of them
// across the end of the code, one in the writable data.
std::vector<unsigned char> SyntheticImage()
{
    std::vector<unsigned char> image(0x4000);
    for (size_t at = 0x1000; at < image.size(); ++at)
        image[at] = (unsigned char)(at * 131 + 7);
    image[0] = 'M';
    image[1] = 'Z';
    Put(image, 0x3C, 0x40);
    memcpy(&image[0x40], "PE\0\0", 4);
    Put(image, 0x40 + 4, 0x14C, 2);
    Put(image, 0x40 + 6, 5, 2);       // sections
    Put(image, 0x40 + 20, 0xE0, 2);   // optional header: PE32 with 16 directories
    size_t optional = 0x40 + 24;
    Put(image, optional, 0x10B, 2);
    Put(image, optional + 56, 0x4000);  // SizeOfImage
    Put(image, optional + 60, 0x400);   // SizeOfHeaders
    Put(image, optional + 92, 16);
    AddSection(image, 0, ".text", 0x1000, 0x200, Code);
    AddSection(image, 1, ".rdata", 0x1800, 0x100, ReadOnlyData);
    AddSection(image, 2, ".data", 0x2000, 0x100, Data);
    AddSection(image, 3, ".pvseal", 0x2800, 4, ReadOnlyData);
    AddSection(image, 4, ".reloc", 0x3000, 0x100, Relocations);
    const uint16_t textSites[] = {0x3010, 0x3020, 0xA040, 0x0000, 0x31FE, 0x0000};  // type << 12 | offset
    const uint16_t dataSites[] = {0x3004, 0x0000};
    size_t at = 0x3000;
    Put(image, at, 0x1000);
    Put(image, at + 4, 8 + sizeof textSites);
    for (size_t k = 0; k < 6; ++k)
        Put(image, at + 8 + 2 * k, textSites[k], 2);
    at += 8 + sizeof textSites;
    Put(image, at, 0x2000);
    Put(image, at + 4, 8 + sizeof dataSites);
    for (size_t k = 0; k < 2; ++k)
        Put(image, at + 8 + 2 * k, dataSites[k], 2);
    at += 8 + sizeof dataSites;
    Put(image, optional + 96 + 5 * 8, 0x3000);
    Put(image, optional + 96 + 5 * 8 + 4, (uint32_t)(at - 0x3000));
    return image;
}

// What the loader does at another base: adds the difference at every site.
void Rebase(std::vector<unsigned char>& image, uint64_t delta)
{
    for (uint32_t site : {0x1010u, 0x1020u, 0x11FEu, 0x2004u})
        Put(image, site, Get(image, site, 4) + delta);
    Put(image, 0x1040, Get(image, 0x1040, 8) + delta, 8);
}

uint32_t Digest(const std::vector<unsigned char>& image)
{
    uint32_t digest = 0;
    EXPECT_TRUE(DigestMappedImage(image.data(), image.size(), &digest));
    return digest;
}

} // namespace

TEST(Crc32, KnownValuesAndEveryLengthAndSplitAgreeWithTheDefinition)
{
    EXPECT_EQ(0xCBF43926u, Crc32(0, "123456789", 9));
    EXPECT_EQ(0u, Crc32(0, "", 0));
    EXPECT_EQ(0xE8B7BE43u, Crc32(0, "a", 1));
    EXPECT_EQ(0x414FA339u, Crc32(0, "The quick brown fox jumps over the lazy dog", 43));
    // Every length and alignment around the 16-byte steps, whole and in
    // two parts.
    std::vector<unsigned char> data(300);
    for (size_t at = 0; at < data.size(); ++at)
        data[at] = (unsigned char)(at * 97 + (at >> 3));
    for (size_t start = 0; start < 17; ++start) {
        for (size_t size = 0; start + size <= data.size(); size += 7) {
            uint32_t expected = BitwiseCrc32(&data[start], size);
            ASSERT_EQ(expected, Crc32(0, &data[start], size)) << start << "+" << size;
            ASSERT_EQ(expected, Crc32(Crc32(0, &data[start], size / 3), &data[start + size / 3], size - size / 3))
                << start << "+" << size;
        }
    }
}

TEST(ImageDigest, CoversWhatTheLoaderKeepsReadOnlyWhereverItPlacesTheImage)
{
    std::vector<unsigned char> image = SyntheticImage();
    uint32_t digest = Digest(image);

    std::vector<unsigned char> moved = image;
    Rebase(moved, 0x12340000);
    EXPECT_EQ(digest, Digest(moved)) << "placed elsewhere";
    Rebase(moved, 0xFFFFFFFF00010000ull);
    EXPECT_EQ(digest, Digest(moved)) << "placed lower";

    // A byte that is no site, in the code, in the constants, and in the
    // part of a site that reaches past the end of the code: each counts.
    for (size_t at : {0x1000, 0x1014, 0x11FD, 0x1800, 0x18FF}) {
        std::vector<unsigned char> changed = image;
        changed[at] ^= 0x10;
        EXPECT_NE(digest, Digest(changed)) << std::hex << at;
    }
    // Writable data, the seal itself and the headers are not covered.
    for (size_t at : {0x2010, 0x2800, 0x2}) {
        std::vector<unsigned char> changed = image;
        changed[at] ^= 0x10;
        EXPECT_EQ(digest, Digest(changed)) << std::hex << at;
    }
    // Marking the constants writable takes them out of the digest: a
    // changed header shows as a changed digest too.
    std::vector<unsigned char> writable = image;
    Put(writable, 0x40 + 24 + 0xE0 + 40 + 36, Data);
    EXPECT_NE(digest, Digest(writable));
}

TEST(ImageDigest, LayoutsItCannotCoverAreRefused)
{
    uint32_t digest;
    const size_t textHeader = 0x40 + 24 + 0xE0, table = 0x3000;
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
    } damages[] = {
        {"a site before the one it follows", table + 8, 0x3030},
        {"a site of another kind", table + 10, 0x1020},
        {"a block longer than the table", table + 4, 0x1000},
        {"a section past the image's end", textHeader + 12, 0x3F80},
        {"sections out of order", textHeader + 40 + 12, 0x1100},
        {"an image larger than mapped", 0x40 + 24 + 56, 0x5000},
        {"no PE signature", 0x40, 0},
    };
    for (const Damage& damage : damages) {
        std::vector<unsigned char> image = SyntheticImage();
        ASSERT_TRUE(DigestMappedImage(image.data(), image.size(), &digest));
        if (damage.at == table + 8 || damage.at == table + 10)
            Put(image, damage.at, damage.value, 2);
        else
            Put(image, damage.at, damage.value);
        EXPECT_FALSE(DigestMappedImage(image.data(), image.size(), &digest)) << damage.what;
    }
    std::vector<unsigned char> image = SyntheticImage();
    EXPECT_FALSE(DigestMappedImage(image.data(), 0x3FFF, &digest)) << "fewer bytes than the image";
    EXPECT_FALSE(DigestMappedImage(image.data(), 0x30, &digest)) << "fewer bytes than the headers";
}
