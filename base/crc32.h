// CRC-32 as zip, PNG and Ethernet compute it (reflected polynomial
// 0xEDB88320). The installer checks what it installed and its own image
// with it, and the build's host tools record the values it must find, so
// all of them share this one definition. No system header here.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The CRC of size bytes following those that gave crc; start with 0.
// Crc32(0, "123456789", 9) is 0xCBF43926.
uint32_t Crc32(uint32_t crc, const void* data, size_t size);
