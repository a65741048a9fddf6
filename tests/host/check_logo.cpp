// Checks a logo written by make_logo against what the installer's dialogs
// rely on: a BMP layout that LoadImage and the palette code accept, the
// lower part left in the field colour the controls are painted on, and a
// frame that reads as raised. Prints each fault and exits with 1 if any.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// At the logo's own size; the one drawn for large scales is scale times it.
int scale = 1;
int logoWidth = 556;
int logoHeight = 384;
int controlsTop = 210;
constexpr uint8_t fieldRed = 0, fieldGreen = 0, fieldBlue = 136;

int faults = 0;

void Fault(const std::string& what)
{
    std::fprintf(stderr, "check_logo: %s\n", what.c_str());
    ++faults;
}

unsigned Get16(const std::vector<uint8_t>& file, size_t at) { return file[at] | (file[at + 1] << 8); }
unsigned Get32(const std::vector<uint8_t>& file, size_t at) { return Get16(file, at) | (Get16(file, at + 2) << 16); }

struct Picture {
    const std::vector<uint8_t>& file;
    unsigned pixelsAt;
    unsigned stride;

    // (x, y) counted from the top, as the picture is seen.
    const uint8_t* Colour(int x, int y) const
    {
        unsigned index = file[pixelsAt + (logoHeight - 1 - y) * stride + x];
        return &file[14 + 40 + index * 4]; // blue, green, red
    }
    bool IsField(int x, int y) const
    {
        return Colour(x, y)[2] == fieldRed && Colour(x, y)[1] == fieldGreen && Colour(x, y)[0] == fieldBlue;
    }
    int Brightness(int x, int y) const { return Colour(x, y)[0] + Colour(x, y)[1] + Colour(x, y)[2]; }
};

// A BI_RLE8 picture as the same file uncompressed, or an empty one with a
// fault when its stream does not fill exactly the picture's rows and end.
std::vector<uint8_t> ExpandRle8(const std::vector<uint8_t>& file)
{
    const unsigned pixelsAt = 14 + 40 + 256 * 4;
    const unsigned stride = (logoWidth + 3) & ~3u;
    std::vector<uint8_t> plain(file.begin(), file.begin() + pixelsAt);
    std::vector<uint8_t> pixels((size_t)stride * logoHeight, 0);
    size_t at = pixelsAt;
    int x = 0, row = 0;
    auto broken = [&](const std::string& why) {
        Fault("BI_RLE8 stream " + why + " (row " + std::to_string(row) + ")");
        return std::vector<uint8_t>();
    };
    for (;;) {
        if (at + 2 > file.size())
            return broken("ends without its end mark");
        unsigned count = file[at], value = file[at + 1];
        at += 2;
        if (count > 0) {
            if (x + (int)count > logoWidth || row >= logoHeight)
                return broken("runs past a row");
            std::fill_n(&pixels[(size_t)row * stride + x], count, (uint8_t)value);
            x += count;
        } else if (value == 0) {
            if (x != logoWidth)
                return broken("leaves a row short");
            x = 0;
            ++row;
        } else if (value == 1) {
            // The end may follow the last row's end of line, or end it.
            if (x == logoWidth) {
                x = 0;
                ++row;
            }
            if (x != 0)
                return broken("leaves a row short");
            break;
        } else if (value == 2) {
            return broken("moves its position, which the generator never does");
        } else {
            if (x + (int)value > logoWidth || row >= logoHeight || at + value > file.size())
                return broken("holds a literal run past a row");
            std::copy_n(&file[at], value, &pixels[(size_t)row * stride + x]);
            x += value;
            at += value + (value % 2);
        }
    }
    if (row != logoHeight || at != file.size())
        return broken("does not cover exactly the picture");
    plain.insert(plain.end(), pixels.begin(), pixels.end());
    for (int i = 0; i < 4; ++i) {
        plain[2 + i] = (uint8_t)(plain.size() >> (8 * i));
        plain[30 + i] = 0;
        plain[34 + i] = (uint8_t)(pixels.size() >> (8 * i));
    }
    return plain;
}

// Everything else reads through these fields, so a wrong one stops here.
bool CheckHeaders(const std::vector<uint8_t>& file)
{
    if (file.size() < 14 + 40 + 256 * 4) {
        Fault("file too short for the headers and a 256-entry colour table");
        return false;
    }
    const unsigned stride = (logoWidth + 3) & ~3u;
    const unsigned pixelsAt = 14 + 40 + 256 * 4;
    struct Field {
        const char* name;
        unsigned actual, expected;
    } fields[] = {
        {"signature", Get16(file, 0), 'B' | ('M' << 8)},
        {"bfSize", Get32(file, 2), (unsigned)file.size()},
        {"bfReserved", Get32(file, 6), 0},
        {"bfOffBits", Get32(file, 10), pixelsAt},
        {"biSize", Get32(file, 14), 40},
        {"biWidth", Get32(file, 18), (unsigned)logoWidth},
        {"biHeight (positive: bottom-up)", Get32(file, 22), (unsigned)logoHeight},
        {"biPlanes", Get16(file, 26), 1},
        {"biBitCount", Get16(file, 28), 8},
        {"biCompression (BI_RGB)", Get32(file, 30), 0},
        {"biClrUsed", Get32(file, 46), 256},
        {"file size", (unsigned)file.size(), pixelsAt + stride * logoHeight},
    };
    bool ok = true;
    for (const Field& f : fields) {
        if (f.actual != f.expected) {
            Fault(std::string(f.name) + " is " + std::to_string(f.actual) + ", expected " +
                  std::to_string(f.expected));
            ok = false;
        }
    }
    unsigned imageSize = Get32(file, 34);
    if (imageSize != 0 && imageSize != stride * logoHeight)
        Fault("biSizeImage is " + std::to_string(imageSize));
    return ok;
}

// The frame's width on one side: how far in from the edge the field begins.
int FrameWidth(const Picture& picture, int x, int y, int dx, int dy)
{
    int width = 0;
    while (x >= 0 && x < logoWidth && y >= 0 && y < logoHeight && !picture.IsField(x, y)) {
        x += dx;
        y += dy;
        ++width;
    }
    return width;
}

void CheckContent(const Picture& picture)
{
    const int probeX = logoWidth / 2, probeY = (controlsTop + logoHeight) / 2;
    int left = FrameWidth(picture, 0, probeY, 1, 0);
    int right = FrameWidth(picture, logoWidth - 1, probeY, -1, 0);
    int top = FrameWidth(picture, probeX, 0, 0, 1);
    int bottom = FrameWidth(picture, probeX, logoHeight - 1, 0, -1);
    // A frame of zero or implausible width means the field colour is missing
    // or wrong, which the controls would show as a visible box.
    for (int width : {left, right, bottom}) {
        if (width < 2 || width > 16) {
            Fault("no frame of 2 to 16 pixels around a field of RGB(0,0,136) (found widths " +
                  std::to_string(left) + ", " + std::to_string(right) + ", " + std::to_string(bottom) + ")");
            return;
        }
    }

    int stray = 0;
    for (int y = controlsTop; y < logoHeight - bottom; ++y)
        for (int x = left; x < logoWidth - right; ++x)
            stray += !picture.IsField(x, y);
    if (stray)
        Fault(std::to_string(stray) + " pixels below row " + std::to_string(controlsTop) +
              " are not RGB(0,0,136)");

    int drawn = 0;
    for (int y = top; y < controlsTop; ++y)
        for (int x = left; x < logoWidth - right; ++x)
            drawn += !picture.IsField(x, y);
    if (drawn * 50 < (controlsTop - top) * (logoWidth - right - left))
        Fault("the upper part is nearly empty (" + std::to_string(drawn) + " drawn pixels)");

    // Light from the top left: each side's band summed across its length.
    long sides[4] = {0, 0, 0, 0}; // top, left, bottom, right
    const int depth = std::min(std::min(left, right), bottom);
    for (int d = 0; d < depth; ++d) {
        for (int x = depth; x < logoWidth - depth; ++x) {
            sides[0] += picture.Brightness(x, d);
            sides[2] += picture.Brightness(x, logoHeight - 1 - d);
        }
        for (int y = depth; y < logoHeight - depth; ++y) {
            sides[1] += picture.Brightness(d, y) * (long)(logoWidth - 2 * depth) / (logoHeight - 2 * depth);
            sides[3] +=
                picture.Brightness(logoWidth - 1 - d, y) * (long)(logoWidth - 2 * depth) / (logoHeight - 2 * depth);
        }
    }
    if (sides[0] <= sides[2])
        Fault("the frame's top edge is not lighter than its bottom edge");
    if (sides[1] <= sides[3])
        Fault("the frame's left edge is not lighter than its right edge");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3)
        scale = std::atoi(argv[2]);
    if ((argc != 2 && argc != 3) || scale < 1 || scale > 4) {
        std::fprintf(stderr, "usage: check_logo LOGO.bmp [SCALE 1-4]\n");
        return 2;
    }
    logoWidth *= scale;
    logoHeight *= scale;
    controlsTop *= scale;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "check_logo: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    // The larger logo is stored as BI_RLE8; the one at its own size never is.
    if (scale > 1) {
        if (file.size() < 14 + 40 + 256 * 4 || Get32(file, 30) != 1) {
            std::fprintf(stderr, "check_logo: the logo at %d times the size is not BI_RLE8\n", scale);
            return 1;
        }
        file = ExpandRle8(file);
        if (file.empty())
            return 1;
    }
    if (CheckHeaders(file))
        CheckContent(Picture{file, Get32(file, 10), (logoWidth + 3) & ~3u});
    return faults ? 1 : 0;
}
