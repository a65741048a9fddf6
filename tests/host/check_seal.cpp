// check_seal EXE...: each installer carries the digest that its start-up
// check computes, and a PE checksum that matches its bytes. Worked out here
// from the file alone, by other means than the installer and its sealing
// tool use (a bit-by-bit CRC, a map of the bytes that relocations touch,
// file offsets instead of a mapped copy), so that a fault shared by those
// two cannot pass unseen.
#include "pe_file.h"

namespace {

using pe::Section;
using pe::U32;

std::string Check(const std::vector<uint8_t>& f)
{
    const pe::Image image = pe::ReadImage(f);
    const size_t optional = image.optional, directories = image.directories;
    const std::vector<Section>& sections = image.sections;
    auto byteAt = [&](uint32_t rva) -> int {
        for (const Section& s : sections)
            if (rva >= s.rva && rva < s.rva + s.virtualSize)
                return rva - s.rva < s.rawSize ? f.at(s.rawOffset + rva - s.rva) : 0;
        return -1;
    };

    std::vector<bool> relocated(U32(f, optional + 56));
    uint32_t table = U32(f, directories + 40), tableSize = U32(f, directories + 44);
    if (tableSize == 0)
        return "no relocation table: the image could not be placed elsewhere";
    for (uint32_t at = 0; at < tableSize;) {
        uint32_t page = 0, size = 0;
        for (int k = 0; k < 4; ++k) {
            page |= byteAt(table + at + k) << (8 * k);
            size |= byteAt(table + at + 4 + k) << (8 * k);
        }
        for (uint32_t e = 8; e + 1 < size; e += 2) {
            unsigned entry = byteAt(table + at + e) | byteAt(table + at + e + 1) << 8;
            unsigned width = entry >> 12 == 3 ? 4 : entry >> 12 == 10 ? 8 : 0;
            for (unsigned k = 0; k < width; ++k)
                relocated.at(page + (entry & 0xFFF) + k) = true;
        }
        at += size;
    }

    uint32_t crc = 0xFFFFFFFFu, seal = 0;
    bool sealFound = false, resourcesCovered = false;
    for (const Section& s : sections) {
        if (s.name == ".pvseal") {
            seal = U32(f, s.rawOffset);
            sealFound = s.virtualSize == 4;
            continue;
        }
        if (s.flags & 0x82000000u)
            continue;
        resourcesCovered = resourcesCovered || s.name == ".rsrc";
        for (uint32_t k = 0; k < s.virtualSize; ++k) {
            uint8_t byte = relocated[s.rva + k] ? 0 : k < s.rawSize ? f.at(s.rawOffset + k) : 0;
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    crc = ~crc;
    if (!sealFound)
        return "no seal section of one word";
    if (!resourcesCovered)
        return "the resources are writable, so no digest covers them";
    char text[160];
    if (crc != seal) {
        std::snprintf(text, sizeof text, "sealed 0x%08X, the read-only sections give 0x%08X", seal, crc);
        return text;
    }

    uint64_t sum = 0;
    size_t checkSumAt = optional + 64;
    for (size_t at = 0; at < f.size(); at += 2)
        if (at != checkSumAt && at != checkSumAt + 2)
            sum += f[at] + (at + 1 < f.size() ? f[at + 1] * 256u : 0u);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    uint32_t checkSum = (uint32_t)sum + (uint32_t)f.size();
    if (checkSum != U32(f, checkSumAt)) {
        std::snprintf(text, sizeof text, "PE checksum 0x%08X, the bytes give 0x%08X", U32(f, checkSumAt), checkSum);
        return text;
    }
    std::snprintf(text, sizeof text, "ok (seal 0x%08X, checksum 0x%08X)", seal, checkSum);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    return pe::CheckEach(argc, argv, Check);
}
