// check_seal EXE...: each installer carries the digest that its start-up
// check computes, and a PE checksum that matches its bytes. Worked out here
// from the file alone, by other means than the installer and its sealing
// tool use (a bit-by-bit CRC, a map of the bytes that relocations touch,
// file offsets instead of a mapped copy), so that a fault shared by those
// two cannot pass unseen.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

uint32_t U16(const std::vector<uint8_t>& f, size_t at) { return f.at(at) | f.at(at + 1) << 8; }
uint32_t U32(const std::vector<uint8_t>& f, size_t at) { return U16(f, at) | U16(f, at + 2) << 16; }

struct Section {
    std::string name;
    uint32_t virtualSize, rva, rawSize, rawOffset, flags;
};

std::string Check(const std::vector<uint8_t>& f)
{
    size_t pe = U32(f, 0x3C), optional = pe + 24;
    unsigned count = U16(f, pe + 6), magic = U16(f, optional);
    size_t directories = optional + (magic == 0x20B ? 112 : 96);
    std::vector<Section> sections;
    for (unsigned i = 0; i < count; ++i) {
        size_t h = optional + U16(f, pe + 20) + 40 * i;
        sections.push_back({std::string((const char*)&f.at(h), strnlen((const char*)&f.at(h), 8)), U32(f, h + 8),
                            U32(f, h + 12), U32(f, h + 16), U32(f, h + 20), U32(f, h + 36)});
    }
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
    int failed = 0, passed = 0;
    for (int arg = 1; arg < argc; ++arg) {
        if (!*argv[arg])
            continue;
        std::ifstream in(argv[arg], std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string verdict;
        try {
            verdict = Check(file);
        } catch (const std::exception&) {
            verdict = "not a PE image this check can read";
        }
        bool ok = verdict.compare(0, 2, "ok") == 0;
        std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", argv[arg], verdict.c_str());
        (ok ? passed : failed)++;
    }
    return failed == 0 && passed > 0 ? 0 : 1;
}
