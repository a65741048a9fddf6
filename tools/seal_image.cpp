// Seals a linked installer: records the digest of its image
// (base/image_digest.h) in its seal section, then sets the PE header's
// checksum for the bytes that result, so that signing tools and checkers
// find it right. Sealing again changes nothing; a copy that was changed on
// purpose is sealed again the same way, as a signing tool would sign it.
// Usage: seal_image EXE
//        seal_image --check EXE: changes nothing; exit status 0 when EXE's
//        seal and PE checksum hold, as a signing tool must leave them.
//        seal_image --check-signed EXE: the same, and EXE carries a
//        certificate table (a signature, not checked here).
#include "base/image_digest.h"
#include "byte_file.h"
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

int Fail(const char* path, const char* why)
{
    std::fprintf(stderr, "seal_image: %s: %s\n", path, why);
    return 1;
}

void Store32(std::vector<uint8_t>& file, uint32_t at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        file[at + k] = (uint8_t)(value >> (8 * k));
}

// The file as the loader maps it: headers, then each section's raw bytes at
// its address, zeros wherever the file holds nothing.
bool MapLikeTheLoader(const std::vector<uint8_t>& file, const PeLayout& layout, std::vector<uint8_t>& image)
{
    image.assign(layout.imageSize, 0);
    if (layout.headersSize > file.size() || layout.headersSize > image.size())
        return false;
    std::memcpy(image.data(), file.data(), layout.headersSize);
    for (uint32_t index = 0; index < layout.sectionCount; ++index) {
        PeSection section = ReadPeSection(file.data(), layout, index);
        uint64_t length = section.rawSize;
        if (section.virtualSize && section.virtualSize < length)
            length = section.virtualSize;
        if (section.rawOffset + length > file.size() || section.rva + length > image.size())
            return false;
        std::memcpy(image.data() + section.rva, file.data() + section.rawOffset, length);
    }
    return true;
}

// The checksum that the PE format defines: 16-bit words summed with their
// carries folded back, the field itself left out, plus the file's length.
uint32_t Load32(const std::vector<uint8_t>& file, uint32_t at)
{
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | (uint32_t)file[at + 3] << 24;
}

uint32_t PeCheckSum(const std::vector<uint8_t>& file, uint32_t fieldAt)
{
    uint64_t sum = 0;
    for (size_t at = 0; at < file.size(); at += 2) {
        if (at >= fieldAt && at < fieldAt + 4)
            continue;
        sum += file[at] | (at + 1 < file.size() ? file[at + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return (uint32_t)(sum + file.size());
}

} // namespace

int main(int argc, char** argv)
{
    bool signedOnly = argc == 3 && std::strcmp(argv[1], "--check-signed") == 0;
    bool check = signedOnly || (argc == 3 && std::strcmp(argv[1], "--check") == 0);
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: seal_image [--check] EXE\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PeLayout layout;
    if (!in.good() && !in.eof())
        return Fail(path, "cannot be read");
    if (!ReadPeLayout(file.data(), file.size(), &layout) || layout.checkSumAt + 4 > layout.headersSize)
        return Fail(path, "not a PE image");

    uint32_t sealAt = 0;
    for (uint32_t index = 0; index < layout.sectionCount; ++index) {
        PeSection section = ReadPeSection(file.data(), layout, index);
        // The linker marks the resources writable, which nothing needs: the
        // loader maps them read-only now, and the digest covers them.
        if (!check && std::memcmp(section.name, ".rsrc\0\0\0", 8) == 0)
            Store32(file, section.headerAt + 36, section.flags & ~(uint32_t)SectionWritable);
        if (IsSealSection(section)) {
            // The installer reads one word there: anything else placed in
            // the section would be read as the seal, or hide it.
            if (section.virtualSize != 4 || section.rawSize < 4 || section.rawOffset + 4ull > file.size())
                return Fail(path, "its seal section holds more or less than one word");
            sealAt = section.rawOffset;
        }
    }
    if (sealAt == 0)
        return Fail(path, "no seal section: the installer's image check is not linked in");

    std::vector<uint8_t> image;
    uint32_t digest;
    if (!MapLikeTheLoader(file, layout, image) || !DigestMappedImage(image.data(), image.size(), &digest))
        return Fail(path, "its sections or relocations cannot be laid out");
    if (check) {
        if (Load32(file, sealAt) != digest)
            return Fail(path, "its seal does not hold: the sections were changed since it was sealed");
        if (Load32(file, layout.checkSumAt) != PeCheckSum(file, layout.checkSumAt))
            return Fail(path, "its PE checksum does not match its bytes");
        // The optional header begins 64 bytes before the checksum; its data
        // directories follow its fixed part, the certificate table fifth.
        uint32_t optional = layout.checkSumAt - 64;
        bool wide = (file[optional] | file[optional + 1] << 8) == 0x20B;
        uint32_t table = optional + (wide ? 112 : 96) + 4 * 8;
        if (signedOnly && (table + 8 > layout.headersSize || Load32(file, table + 4) < 8 ||
                           (uint64_t)Load32(file, table) + Load32(file, table + 4) > file.size()))
            return Fail(path, "carries no signature");
        return 0;
    }
    Store32(file, sealAt, digest);
    Store32(file, layout.checkSumAt, PeCheckSum(file, layout.checkSumAt));
    if (!WriteBytes(path, file))
        return Fail(path, "cannot be written");
    return 0;
}
