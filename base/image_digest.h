// The digest by which the installer knows its own image unchanged since it
// was built: CRC-32 over every section that the loader keeps and maps
// read-only (neither writable nor discardable: code, constants, resources),
// save the seal's own, in the order of the section table. The bytes of every
// base-relocation site count as zero, so the digest is the same at whatever
// address the loader places the image. tools/seal_image computes it over
// the file laid out as the loader maps it and records it in the seal
// section; the installer computes it again over its mapped image at start.
// No system header here: the host tool shares this code.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The section that carries the digest, a 32-bit word and nothing else.
constexpr char sealSectionName[] = ".pvseal";

enum : uint32_t {
    SectionWritable = 0x80000000u,
    SectionDiscardable = 0x02000000u
};

// Where a PE file's or mapped image's headers put things. The first
// SizeOfHeaders bytes are the same in the file and in memory.
struct PeLayout {
    uint32_t sectionTable;  // offset of the first section header
    uint32_t sectionCount;
    uint32_t checkSumAt;    // offset of the optional header's CheckSum
    uint32_t imageSize;     // SizeOfImage: the mapped image's extent
    uint32_t headersSize;   // SizeOfHeaders
    uint32_t relocRva;      // the base-relocation table, 0 and 0 without one
    uint32_t relocSize;
};

struct PeSection {
    char name[8];           // not terminated when all 8 are used
    uint32_t virtualSize;   // what the loader maps
    uint32_t rva;
    uint32_t rawSize;       // what the file holds
    uint32_t rawOffset;
    uint32_t flags;         // Characteristics
    uint32_t headerAt;      // offset of this section header
};

// False unless size bytes hold the headers of a PE32 or PE32+ image whose
// section table lies within them.
bool ReadPeLayout(const unsigned char* data, size_t size, PeLayout* layout);
// The section header number index of a layout that ReadPeLayout gave.
PeSection ReadPeSection(const unsigned char* data, const PeLayout& layout, uint32_t index);
bool IsSealSection(const PeSection& section);

// The digest of an image mapped at image, size bytes long (at least its
// SizeOfImage). False when the image is not one the digest can cover:
// headers or sections out of bounds or out of order, or a relocation table
// that is, or that holds a kind of site other than 32-bit and 64-bit
// addresses.
bool DigestMappedImage(const unsigned char* image, size_t size, uint32_t* digest);
