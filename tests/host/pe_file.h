// What the host checks of built programs share: a program's bytes, read
// as little-endian fields, its headers and sections, and the run over the
// programs named on the command line. Written apart from the tools that
// build and seal the programs, so that a fault in theirs cannot hide here.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pe {

inline uint32_t U16(const std::vector<uint8_t>& f, size_t at) { return f.at(at) | f.at(at + 1) << 8; }
inline uint32_t U32(const std::vector<uint8_t>& f, size_t at) { return U16(f, at) | U16(f, at + 2) << 16; }

struct Section {
    std::string name;
    uint32_t virtualSize, rva, rawSize, rawOffset, flags;
};

// Offsets of the PE header, the optional header and its data directories,
// for 32-bit and 64-bit images alike, and the section table.
struct Image {
    size_t pe, optional, directories;
    std::vector<Section> sections;
};

inline Image ReadImage(const std::vector<uint8_t>& f)
{
    Image image;
    image.pe = U32(f, 0x3C);
    image.optional = image.pe + 24;
    image.directories = image.optional + (U16(f, image.optional) == 0x20B ? 112 : 96);
    unsigned count = U16(f, image.pe + 6);
    for (unsigned i = 0; i < count; ++i) {
        size_t h = image.optional + U16(f, image.pe + 20) + 40 * i;
        image.sections.push_back({std::string((const char*)&f.at(h), strnlen((const char*)&f.at(h), 8)),
                                  U32(f, h + 8), U32(f, h + 12), U32(f, h + 16), U32(f, h + 20), U32(f, h + 36)});
    }
    return image;
}

// check gives a verdict for one program's bytes: passed when it begins
// with "ok". Each program gets a line; the status is 0 when all passed.
inline int CheckEach(int argc, char** argv, std::string (*check)(const std::vector<uint8_t>&))
{
    int failed = 0, passed = 0;
    for (int arg = 1; arg < argc; ++arg) {
        if (!*argv[arg])
            continue;
        std::ifstream in(argv[arg], std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string verdict;
        try {
            verdict = check(file);
        } catch (const std::exception&) {
            verdict = "not a PE image this check can read";
        }
        bool ok = verdict.compare(0, 2, "ok") == 0;
        std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", argv[arg], verdict.c_str());
        (ok ? passed : failed)++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}

} // namespace pe
