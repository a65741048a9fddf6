#include "base/image_digest.h"
#include "base/crc32.h"
#include <string.h>

namespace {

uint16_t Read16(const unsigned char* at)
{
    return (uint16_t)(at[0] | (at[1] << 8));
}

uint32_t Read32(const unsigned char* at)
{
    return at[0] | (at[1] << 8) | (at[2] << 16) | ((uint32_t)at[3] << 24);
}

// True when [offset, offset + length) lies within size; no sum can wrap.
// Sizes and offsets are size_t: 64-bit arithmetic would double the code
// of the 32-bit installer.
bool Within(size_t offset, size_t length, size_t size)
{
    return offset <= size && length <= size - offset;
}

// The base-relocation sites of an image, one after the other. The table
// comes in blocks of one page each, which the linker writes in ascending
// order; sites out of order (or overlapping) make the table unusable
// rather than being sorted, so that a damaged table cannot hide a byte.
class RelocationSites {
public:
    RelocationSites(const unsigned char* image, size_t size, const PeLayout& layout)
        : image_(image), size_(size), at_(layout.relocRva), end_(layout.relocRva)
    {
        if (!Within(layout.relocRva, layout.relocSize, size))
            failed_ = layout.relocSize != 0;
        else
            end_ += layout.relocSize;
    }

    // The next site, [start, end); false at the end of the table or when
    // it failed().
    bool Next(size_t* start, size_t* end)
    {
        while (!failed_) {
            if (entry_ < entriesEnd_) {
                uint16_t entry = Read16(image_ + entry_);
                entry_ += 2;
                unsigned type = entry >> 12, width = type == 3 ? 4 : type == 10 ? 8 : 0;
                if (type == 0)
                    continue;  // padding that keeps blocks 32-bit aligned
                size_t site = page_ + (entry & 0xFFF);
                if (width == 0 || site < previousEnd_ || !Within(site, width, size_)) {
                    failed_ = true;
                    return false;
                }
                *start = site;
                *end = previousEnd_ = site + width;
                return true;
            }
            if (at_ == end_)
                return false;
            uint32_t blockSize = at_ + 8 <= end_ ? Read32(image_ + at_ + 4) : 0;
            if (blockSize < 8 || blockSize % 2 || blockSize > end_ - at_) {
                failed_ = true;
                return false;
            }
            page_ = Read32(image_ + at_);
            if (page_ > size_) {
                failed_ = true;
                return false;
            }
            entry_ = at_ + 8;
            entriesEnd_ = at_ + blockSize;
            at_ = entriesEnd_;
        }
        return false;
    }

    bool failed() const { return failed_; }

private:
    const unsigned char* image_;
    size_t size_;
    size_t at_, end_;                    // the next block, the table's end
    size_t page_ = 0, entry_ = 0, entriesEnd_ = 0;
    size_t previousEnd_ = 0;
    bool failed_ = false;
};

} // namespace

bool ReadPeLayout(const unsigned char* data, size_t size, PeLayout* layout)
{
    if (!data || size < 0x40 || data[0] != 'M' || data[1] != 'Z')
        return false;
    uint32_t pe = Read32(data + 0x3C);
    if (!Within(pe, 24, size) || memcmp(data + pe, "PE\0\0", 4) != 0)
        return false;
    uint32_t sectionCount = Read16(data + pe + 6), optionalSize = Read16(data + pe + 20);
    uint32_t optional = pe + 24;
    if (!Within(optional, optionalSize, size) || optionalSize < 2)
        return false;
    // PE32 and PE32+ differ in the width of the fields before the data
    // directories, not in the place of the sizes and the checksum.
    uint16_t magic = Read16(data + optional);
    uint32_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (directories == 0 || optionalSize < directories)
        return false;
    uint32_t directoryCount = Read32(data + optional + directories - 4);
    if (directoryCount > (optionalSize - directories) / 8)
        return false;
    layout->sectionTable = optional + optionalSize;
    layout->sectionCount = sectionCount;
    layout->checkSumAt = optional + 64;
    layout->imageSize = Read32(data + optional + 56);
    layout->headersSize = Read32(data + optional + 60);
    layout->relocRva = layout->relocSize = 0;
    if (directoryCount > 5) {
        layout->relocRva = Read32(data + optional + directories + 5 * 8);
        layout->relocSize = Read32(data + optional + directories + 5 * 8 + 4);
    }
    return Within(layout->sectionTable, 40 * sectionCount, size);
}

PeSection ReadPeSection(const unsigned char* data, const PeLayout& layout, uint32_t index)
{
    const unsigned char* header = data + layout.sectionTable + 40 * index;
    PeSection section;
    memcpy(section.name, header, sizeof section.name);
    section.virtualSize = Read32(header + 8);
    section.rva = Read32(header + 12);
    section.rawSize = Read32(header + 16);
    section.rawOffset = Read32(header + 20);
    section.flags = Read32(header + 36);
    section.headerAt = layout.sectionTable + 40 * index;
    return section;
}

bool IsSealSection(const PeSection& section)
{
    return memcmp(section.name, sealSectionName, sizeof section.name) == 0;
}

bool DigestMappedImage(const unsigned char* image, size_t size, uint32_t* digest)
{
    static const unsigned char zeros[8] = {};
    PeLayout layout;
    if (!ReadPeLayout(image, size, &layout) || layout.imageSize > size)
        return false;
    size = layout.imageSize;
    RelocationSites sites(image, size, layout);
    size_t siteStart = 0, siteEnd = 0;
    bool site = sites.Next(&siteStart, &siteEnd);
    uint32_t crc = 0;
    size_t covered = layout.headersSize;
    for (uint32_t index = 0; index < layout.sectionCount; ++index) {
        PeSection section = ReadPeSection(image, layout, index);
        if (IsSealSection(section) || section.flags & (SectionWritable | SectionDiscardable))
            continue;
        size_t pos = section.rva, length = section.virtualSize ? section.virtualSize : section.rawSize;
        if (pos < covered || !Within(pos, length, size))
            return false;
        size_t end = covered = pos + length;
        while (pos < end) {
            while (site && siteEnd <= pos)
                site = sites.Next(&siteStart, &siteEnd);
            if (site && siteStart < end) {
                if (siteStart > pos) {
                    crc = Crc32(crc, image + pos, siteStart - pos);
                    pos = siteStart;
                }
                size_t zeroEnd = siteEnd < end ? siteEnd : end;
                crc = Crc32(crc, zeros, zeroEnd - pos);
                pos = zeroEnd;
            } else {
                crc = Crc32(crc, image + pos, end - pos);
                pos = end;
            }
        }
    }
    if (sites.failed())
        return false;
    *digest = crc;
    return true;
}
