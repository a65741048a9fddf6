// Draws the installer's icons and writes them as .ico files. The window's
// icon is 32x32 and 16x16 with alpha, its shapes described as functions of
// continuous coordinates on a unit square and sampled 4x4 per pixel, so both
// sizes come from the same drawing. The folder list's icons are 16x16 in
// the 16 standard colours, drawn as character grids and repeated cell by
// cell for the larger scales: the list's image list holds 16-colour images,
// and exact colours can be checked on screen.
#include "byte_file.h"
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Colour {
    double r, g, b, a;
};

// Returns the colour at (x, y) in [0,1)^2, alpha 0 for nothing.
using Drawing = std::function<Colour(double x, double y)>;

bool IsInRoundedBox(double x, double y, double x0, double y0, double x1, double y1, double radius)
{
    double cx = std::fmin(std::fmax(x, x0 + radius), x1 - radius);
    double cy = std::fmin(std::fmax(y, y0 + radius), y1 - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius && x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

bool IsInEllipse(double x, double y, double cx, double cy, double rx, double ry)
{
    double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

double DistanceToSegment(double x, double y, double x0, double y0, double x1, double y1)
{
    double vx = x1 - x0, vy = y1 - y0;
    double t = ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy);
    t = std::fmin(1.0, std::fmax(0.0, t));
    double dx = x - (x0 + t * vx), dy = y - (y0 + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

// The product's mark: a painter's palette on a blue tile, with a brush.
Colour SetupIcon(double x, double y)
{
    if (DistanceToSegment(x, y, 0.58, 0.62, 0.92, 0.10) < 0.045)
        return {0.55, 0.33, 0.12, 1};                       // brush handle
    if (DistanceToSegment(x, y, 0.50, 0.74, 0.58, 0.62) < 0.07)
        return {0.85, 0.10, 0.10, 1};                       // paint on the bristles
    const double dots[4][5] = {
        {0.30, 0.32, 1.00, 0.15, 0.15}, {0.50, 0.26, 1.00, 0.85, 0.10},
        {0.24, 0.55, 0.10, 0.70, 0.20}, {0.42, 0.72, 0.15, 0.35, 1.00}};
    bool onPalette = IsInEllipse(x, y, 0.44, 0.50, 0.38, 0.32) && !IsInEllipse(x, y, 0.62, 0.60, 0.07, 0.07);
    if (onPalette) {
        for (const auto& d : dots)
            if (IsInEllipse(x, y, d[0], d[1], 0.075, 0.075))
                return {d[2], d[3], d[4], 1};
        return {0.93, 0.85, 0.66, 1};                       // the palette's wood
    }
    if (IsInRoundedBox(x, y, 0.02, 0.02, 0.98, 0.98, 0.16))
        return {0.0, 0.0, 0.53, 1};                         // tile, RGB(0,0,136)
    return {0, 0, 0, 0};
}

std::vector<uint8_t> RenderBgra(const Drawing& draw, int size)
{
    const int samples = 4;
    std::vector<uint8_t> pixels(size * size * 4);
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Colour c = draw((col + (sx + 0.5) / samples) / size, (row + (sy + 0.5) / samples) / size);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            double n = samples * samples;
            // Bottom-up rows, colours premultiplied back to straight alpha.
            uint8_t* p = &pixels[((size - 1 - row) * size + col) * 4];
            double alpha = a / n;
            p[0] = (uint8_t)std::lround(alpha > 0 ? 255 * b / a : 0);
            p[1] = (uint8_t)std::lround(alpha > 0 ? 255 * g / a : 0);
            p[2] = (uint8_t)std::lround(alpha > 0 ? 255 * r / a : 0);
            p[3] = (uint8_t)std::lround(255 * alpha);
        }
    }
    return pixels;
}

bool WriteIcon(const std::string& path, const Drawing& draw)
{
    const int sizes[] = {32, 16};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<uint8_t> image;
        Put32(image, 40);
        Put32(image, size);
        Put32(image, size * 2); // colour rows and mask rows
        Put16(image, 1);
        Put16(image, 32);
        Put32(image, 0);
        int maskRow = ((size + 31) / 32) * 4;
        Put32(image, size * size * 4 + maskRow * size);
        for (int i = 0; i < 4; ++i)
            Put32(image, 0);
        std::vector<uint8_t> pixels = RenderBgra(draw, size);
        image.insert(image.end(), pixels.begin(), pixels.end());
        for (int row = 0; row < size; ++row) {
            std::vector<uint8_t> mask(maskRow, 0);
            for (int col = 0; col < size; ++col)
                if (pixels[(row * size + col) * 4 + 3] < 128)
                    mask[col / 8] |= (uint8_t)(0x80 >> (col % 8));
            image.insert(image.end(), mask.begin(), mask.end());
        }
        images.push_back(image);
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, (unsigned)images.size());
    unsigned offset = 6 + 16 * (unsigned)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back((uint8_t)sizes[i]);
        file.push_back((uint8_t)sizes[i]);
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, (unsigned)images[i].size());
        Put32(file, offset);
        offset += (unsigned)images[i].size();
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return WriteBytes(path.c_str(), file);
}

// The 16 colours of the standard palette, in its order.
const uint8_t standardColours[16][3] = {
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128},
    {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255},
    {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

// '.' is transparent; the other characters name colours of the palette.
int ColourIndex(char c)
{
    switch (c) {
    case 'K': return 0;  // black
    case 'g': return 2;  // dark green
    case 'y': return 3;  // dark yellow
    case 'G': return 10; // green
    case 'Y': return 11; // yellow
    case 'W': return 15; // white
    default: return -1;
    }
}

const char* const yellowFolder[16] = {
    "................", "................", "..KKKKK.........", ".KYYYYYK........",
    ".KYWYYYYKKKKKKK.", ".KYYYYYYYYYYYYK.", ".KYYYYYYYYYYYYK.", ".KYYYYYYYYYYYYK.",
    ".KYYYYYYYYYYYYK.", ".KYYYYYYYYYYYYK.", ".KyyyyyyyyyyyyK.", ".KyyyyyyyyyyyyK.",
    ".KKKKKKKKKKKKKK.", "................", "................", "................"};

const char* const upArrow[16] = {
    "................", ".......KK.......", "......KKKK......", ".....KKKKKK.....",
    "....KKKKKKKK....", "...KKKKKKKKKK...", "..KKKKKKKKKKKK..", "......KKKK......",
    "......KKKK......", "......KKKK......", "......KKKK......", "......KKKK......",
    "......KKKK......", "......KKKK......", "................", "................"};

const char* const greenFolder[16] = {
    "................", "................", "..KKKKK.........", ".KGGGGGK........",
    ".KGWGGGGKKKKKKK.", ".KGGGGGGGGGGGGK.", ".KGGGGGGGGGGGGK.", ".KGGGGGGGGGGGGK.",
    ".KGGGGGGGGGGGGK.", ".KGGGGGGGGGGGGK.", ".KggggggggggggK.", ".KggggggggggggK.",
    ".KKKKKKKKKKKKKK.", "................", "................", "................"};

// One image of a grid icon, size x size, the grid's cells repeated to fill
// it: only the palette's own colours appear, at every size.
std::vector<uint8_t> GridImage(const char* const (&grid)[16], int size)
{
    auto at = [&](int row, int col) { return ColourIndex(grid[row * 16 / size][col * 16 / size]); };
    std::vector<uint8_t> image;
    const int colourRow = ((size * 4 + 31) / 32) * 4;
    const int maskRow = ((size + 31) / 32) * 4;
    Put32(image, 40);
    Put32(image, size);
    Put32(image, size * 2); // colour rows and mask rows
    Put16(image, 1);
    Put16(image, 4);
    Put32(image, 0);
    Put32(image, (unsigned)((colourRow + maskRow) * size));
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 16);
    Put32(image, 0);
    for (const auto& colour : standardColours) {
        image.push_back(colour[2]);
        image.push_back(colour[1]);
        image.push_back(colour[0]);
        image.push_back(0);
    }
    for (int row = size - 1; row >= 0; --row) { // bottom-up
        std::vector<uint8_t> bytes(colourRow, 0);
        for (int col = 0; col < size; ++col) {
            int index = at(row, col);
            bytes[col / 2] |= (uint8_t)((index < 0 ? 0 : index) << (col % 2 ? 0 : 4));
        }
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    for (int row = size - 1; row >= 0; --row) {
        std::vector<uint8_t> mask(maskRow, 0);
        for (int col = 0; col < size; ++col)
            if (at(row, col) < 0)
                mask[col / 8] |= (uint8_t)(0x80 >> (col % 8));
        image.insert(image.end(), mask.begin(), mask.end());
    }
    return image;
}

// 16 pixels at 100 %, and the sizes that 125, 150 and 200 % ask for.
bool WriteGridIcon(const std::string& path, const char* const (&grid)[16])
{
    const int sizes[] = {16, 20, 24, 32};
    const unsigned count = sizeof sizes / sizeof sizes[0];
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, count);
    std::vector<uint8_t> images;
    unsigned offset = 6 + 16 * count;
    for (int size : sizes) {
        std::vector<uint8_t> image = GridImage(grid, size);
        file.insert(file.end(), {(uint8_t)size, (uint8_t)size, 16, 0});
        Put16(file, 1);
        Put16(file, 4);
        Put32(file, (unsigned)image.size());
        Put32(file, offset + (unsigned)images.size());
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    return WriteBytes(path.c_str(), file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!WriteIcon(dir + "/setup.ico", SetupIcon) || !WriteGridIcon(dir + "/folder.ico", yellowFolder) ||
        !WriteGridIcon(dir + "/up.ico", upArrow) || !WriteGridIcon(dir + "/newfolder.ico", greenFolder)) {
        std::fprintf(stderr, "make_icons: cannot write to %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
