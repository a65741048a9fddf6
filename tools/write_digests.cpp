// Writes a header that defines NAME as the CRC-32 (base/crc32.h) of each
// file, in the order given: what the installer must read back from each
// file it installs. Usage: write_digests HEADER NAME FILE...
#include "base/crc32.h"
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: write_digests HEADER NAME FILE...\n");
        return 2;
    }
    std::string text = "// Generated: the CRC-32 of each expanded payload file, in the rows' order.\n"
                       "#pragma once\n#define " + std::string(argv[2]);
    std::vector<char> buffer(1 << 16);
    for (int arg = 3; arg < argc; ++arg) {
        std::ifstream in(argv[arg], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "write_digests: cannot read %s\n", argv[arg]);
            return 1;
        }
        uint32_t crc = 0;
        while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
            crc = Crc32(crc, buffer.data(), (size_t)in.gcount());
        if (in.bad()) {
            std::fprintf(stderr, "write_digests: cannot read %s\n", argv[arg]);
            return 1;
        }
        char value[16];
        std::snprintf(value, sizeof value, " 0x%08Xu,", (unsigned)crc);
        text += value;
    }
    text += "\n";
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "write_digests: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
