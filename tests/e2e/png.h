#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes 24-bit RGB rows (top-down, 3 bytes a pixel) as a PNG with stored
// (uncompressed) deflate blocks: no zlib needed, and any viewer reads it.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
