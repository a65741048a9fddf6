// Packs a file into the SZDD container (LZSS "mode A") that LZ32's expand
// routines and msexpand unpack. Usage: szdd_encode INPUT OUTPUT [LASTCHAR]
//
// Every match costs 17 bits and every literal 9 bits whatever the length or
// distance, so the longest match found at each position is all the parser
// needs: a shortest-path pass over those lengths gives the cheapest parse the
// match finder allows, in little more time than greedy matching takes.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t windowSize = 4096;
constexpr std::size_t minMatch = 3;
constexpr std::size_t maxMatch = 18;
// Input byte 0 lands at this ring position; matches name ring positions, so
// the encoder has to agree with the decoder on it.
constexpr std::size_t firstRingPos = windowSize - 16;
// Keeping sources at least one full match length behind the write position
// means a match never reads ring bytes it is itself about to overwrite from
// the far side of the ring, which a decoder copying in bulk rather than byte
// by byte would get wrong. The lost reach costs next to nothing.
constexpr std::size_t maxDistance = windowSize - maxMatch;
// Beyond this depth text and executables gain well under 1% while the time
// for 20 MB keeps growing.
constexpr unsigned chainDepth = 32;
// The parse is solved per block so its tables stay small for huge inputs;
// the loss at block edges is negligible.
constexpr std::size_t blockSize = 1 << 16;
constexpr std::uint64_t maxInput = 0xFFFFFFFFull;

const unsigned char szddMagic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};

std::uint64_t Load64(const unsigned char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Chains are keyed on four bytes so that the bounded walk is spent on
// candidates likely to reach past the minimum; a match of exactly three is
// worth the same wherever it comes from, so the most recent one is enough
// and only that is kept.
//
// Positions are stored truncated to 32 bits. Every candidate's distance is
// checked and its bytes compared before use, so a stale or aliased entry can
// cost a match but never produce a wrong one.
class MatchFinder {
public:
    // text holds the decoder's initial window (all spaces) followed by the
    // input, so matches into not-yet-written window bytes fall out naturally.
    MatchFinder(const unsigned char* text, std::size_t size)
        : text_(text),
          size_(size),
          head4_(std::size_t{1} << hash4Bits, emptyEntry),
          prev4_(windowSize, emptyEntry),
          head3_(std::size_t{1} << hash3Bits, emptyEntry)
    {
    }

    // Longest match for the bytes at pos among earlier positions, or 0 if
    // none reaches minMatch; source receives its position. A match already
    // known (seedLen bytes from seedSource) is kept unless a longer one turns
    // up. pos must increase from call to call.
    std::size_t Find(std::size_t pos, std::size_t seedLen, std::size_t seedSource, std::size_t& source)
    {
        InsertBefore(pos);
        const std::size_t limit = std::min(maxMatch, size_ - pos);
        const unsigned char* cur = text_ + pos;
        std::size_t best = seedLen;
        source = seedSource;
        if (limit >= 4) {
            const std::size_t h = Hash4(cur);
            std::uint32_t entry = head4_[h];
            for (unsigned depth = chainDepth; depth > 0 && best < limit; --depth) {
                const std::size_t distance = static_cast<std::uint32_t>(pos - entry);
                if (distance == 0 || distance > maxDistance) {
                    break;
                }
                const std::size_t len = MatchLength(cur - distance, cur, best, limit);
                if (len > best) {
                    best = len;
                    source = pos - distance;
                }
                entry = prev4_[(pos - distance) % windowSize];
            }
            prev4_[pos % windowSize] = head4_[h];
            head4_[h] = static_cast<std::uint32_t>(pos);
        }
        if (limit >= minMatch) {
            const std::size_t h = Hash3(cur);
            if (best < minMatch) {
                const std::size_t distance = static_cast<std::uint32_t>(pos - head3_[h]);
                if (distance != 0 && distance <= maxDistance) {
                    const std::size_t len = MatchLength(cur - distance, cur, 0, limit);
                    if (len >= minMatch) {
                        best = len;
                        source = pos - distance;
                    }
                }
            }
            head3_[h] = static_cast<std::uint32_t>(pos);
        }
        inserted_ = pos + 1;
        return best >= minMatch ? best : 0;
    }

    // Enters every position before end not yet seen into the tables.
    void InsertBefore(std::size_t end)
    {
        for (; inserted_ < end && inserted_ + minMatch <= size_; ++inserted_) {
            const unsigned char* p = text_ + inserted_;
            if (inserted_ + 4 <= size_) {
                const std::size_t h = Hash4(p);
                prev4_[inserted_ % windowSize] = head4_[h];
                head4_[h] = static_cast<std::uint32_t>(inserted_);
            }
            head3_[Hash3(p)] = static_cast<std::uint32_t>(inserted_);
        }
        inserted_ = std::max(inserted_, end);
    }

private:
    // Far enough from every early position to read as out of reach.
    static constexpr std::uint32_t emptyEntry = 0x80000000u;
    static constexpr unsigned hash4Bits = 15;
    static constexpr unsigned hash3Bits = 14;

    // Length of the common prefix of src and cur, up to limit, or 0 when it
    // cannot beat best (checked first on the byte that would decide it).
    static std::size_t MatchLength(const unsigned char* src, const unsigned char* cur, std::size_t best,
                                   std::size_t limit)
    {
        if (src[best] != cur[best]) {
            return 0;
        }
        std::size_t len = 0;
        while (len + 8 <= limit && Load64(src + len) == Load64(cur + len)) {
            len += 8;
        }
        while (len < limit && src[len] == cur[len]) {
            ++len;
        }
        return len;
    }

    static std::size_t Hash4(const unsigned char* p)
    {
        const std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                (std::uint32_t{p[2]} << 8) | p[3];
        return (v * 2654435761u) >> (32 - hash4Bits);
    }

    static std::size_t Hash3(const unsigned char* p)
    {
        const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        return (v * 2654435761u) >> (32 - hash3Bits);
    }

    const unsigned char* text_;
    std::size_t size_;
    std::vector<std::uint32_t> head4_;
    // Indexed by position modulo the window: nothing older is ever followed.
    std::vector<std::uint32_t> prev4_;
    std::vector<std::uint32_t> head3_;
    std::size_t inserted_ = 0;
};

class ItemWriter {
public:
    explicit ItemWriter(std::vector<unsigned char>& out) : out_(out) {}

    void WriteLiteral(unsigned char c)
    {
        WriteFlag(true);
        out_.push_back(c);
    }

    void WriteMatch(std::size_t ringPos, std::size_t len)
    {
        WriteFlag(false);
        out_.push_back(static_cast<unsigned char>(ringPos & 0xFF));
        out_.push_back(static_cast<unsigned char>(((ringPos >> 4) & 0xF0) | (len - minMatch)));
    }

private:
    void WriteFlag(bool literal)
    {
        if (bit_ == 8) {
            control_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
        if (literal) {
            out_[control_] |= static_cast<unsigned char>(1u << bit_);
        }
        ++bit_;
    }

    std::vector<unsigned char>& out_;
    std::size_t control_ = 0;
    unsigned bit_ = 8;
};

void PutLe32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
}

// text: windowSize spaces followed by the input.
std::vector<unsigned char> Encode(const std::vector<unsigned char>& text, unsigned char lastChar)
{
    const std::size_t end = text.size();
    const std::size_t inputSize = end - windowSize;

    std::vector<unsigned char> out;
    // Incompressible data grows by one control byte per eight literals.
    out.reserve(14 + inputSize + inputSize / 8 + 1);
    out.insert(out.end(), szddMagic, szddMagic + sizeof szddMagic);
    out.push_back('A');
    out.push_back(lastChar);
    PutLe32(out, static_cast<std::uint32_t>(inputSize));

    MatchFinder finder(text.data(), end);
    ItemWriter writer(out);

    // Per block position: bits needed from there to the block end, the item
    // chosen (0 = literal, else match length), longest match and its source.
    std::vector<std::uint32_t> cost(blockSize + maxMatch + 1);
    std::vector<unsigned char> choice(blockSize);
    std::vector<unsigned char> longest(blockSize);
    std::vector<std::size_t> source(blockSize);

    std::size_t pos = windowSize;
    while (pos < end) {
        const std::size_t n = std::min(end - pos, blockSize);
        for (std::size_t i = 0; i < n; ++i) {
            // A match at the previous position, one byte shorter, also
            // matches here; passing it on lets the search skip candidates.
            std::size_t seedLen = 0;
            std::size_t seedSource = 0;
            if (i > 0 && longest[i - 1] > minMatch) {
                seedLen = longest[i - 1] - 1u;
                seedSource = source[i - 1] + 1;
            }
            longest[i] = static_cast<unsigned char>(finder.Find(pos + i, seedLen, seedSource, source[i]));
        }
        // Items may run past the block end; the next block starts wherever
        // the chosen parse lands.
        std::fill(cost.begin() + static_cast<std::ptrdiff_t>(n), cost.end(), 0);
        for (std::size_t i = n; i-- > 0;) {
            std::uint32_t best = 9 + cost[i + 1];
            unsigned pick = 0;
            for (unsigned len = minMatch; len <= longest[i]; ++len) {
                std::uint32_t c = 17 + cost[i + len];
                // On a tie the longer match leaves fewer items.
                if (c <= best) {
                    best = c;
                    pick = len;
                }
            }
            cost[i] = best;
            choice[i] = static_cast<unsigned char>(pick);
        }
        std::size_t i = 0;
        while (i < n) {
            if (choice[i] == 0) {
                writer.WriteLiteral(text[pos + i]);
                ++i;
            } else {
                // Text index t holds input byte t - windowSize, which the
                // decoder writes at ring position firstRingPos + t - windowSize.
                writer.WriteMatch((source[i] + firstRingPos) % windowSize, choice[i]);
                i += choice[i];
            }
        }
        pos += i;
    }
    return out;
}

void ReportTooLarge(const std::string& path)
{
    std::cerr << "szdd_encode: " << path << ": input is larger than 4 GiB - 1 bytes, the most the header can record\n";
}

// Appends the file's bytes to data.
bool ReadInput(const std::string& path, std::vector<unsigned char>& data)
{
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (!ec) {
            if (size > maxInput) {
                ReportTooLarge(path);
                return false;
            }
            data.reserve(data.size() + size + (1 << 20));
        }
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "szdd_encode: cannot open input " << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    // Reading to the end rather than trusting the size keeps pipes working
    // and catches files that grow past the limit while being read.
    const std::size_t start = data.size();
    const std::size_t chunk = 1 << 20;
    for (;;) {
        std::size_t have = data.size();
        data.resize(have + chunk);
        in.read(reinterpret_cast<char*>(data.data() + have), static_cast<std::streamsize>(chunk));
        data.resize(have + static_cast<std::size_t>(in.gcount()));
        if (data.size() - start > maxInput) {
            ReportTooLarge(path);
            return false;
        }
        if (!in) {
            break;
        }
    }
    if (in.bad()) {
        std::cerr << "szdd_encode: error reading " << path << "\n";
        return false;
    }
    return true;
}

bool WriteOutput(const std::string& path, const std::vector<unsigned char>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "szdd_encode: cannot create output " << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        std::cerr << "szdd_encode: error writing " << path << "\n";
        // A truncated archive would still look valid by its header.
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: szdd_encode INPUT OUTPUT [LASTCHAR]\n"
                     "  LASTCHAR: last character of the expanded file name, kept in the header\n";
        return 2;
    }
    unsigned char lastChar = 0;
    if (argc == 4) {
        std::string arg = argv[3];
        if (arg.size() != 1) {
            std::cerr << "szdd_encode: LASTCHAR must be exactly one character, got '" << arg << "'\n";
            return 2;
        }
        lastChar = static_cast<unsigned char>(arg[0]);
    }

    std::vector<unsigned char> text(windowSize, ' ');
    if (!ReadInput(argv[1], text)) {
        return 1;
    }
    std::vector<unsigned char> output = Encode(text, lastChar);
    if (!WriteOutput(argv[2], output)) {
        return 1;
    }
    return 0;
}
