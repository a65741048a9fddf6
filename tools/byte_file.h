// Little-endian fields and whole-file writes for the asset generators,
// which assemble Windows file formats byte by byte.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

inline void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

inline void Put32(std::vector<uint8_t>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// False when the file cannot be written completely.
inline bool WriteBytes(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}
