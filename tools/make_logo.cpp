// Draws the logo shown on the installer's dialogs and writes it as an
// 8-bit BMP with a 256-entry colour table.
//
// Everything is painted at 4x4 samples per pixel and averaged, then each
// pixel is matched to the nearest colour table entry. The table is built
// from ramps that blend each ink into the colour it is painted on, which is
// what anti-aliased edges produce, so the matching error stays small while
// flat areas keep their exact colours.
//
// The dialogs place their controls on the lower part of the picture and
// paint their backgrounds in fieldColour, so that part must stay untouched.
#include "byte_file.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int logoWidth = 556;
constexpr int logoHeight = 384;
constexpr int samplesPerSide = 4;
constexpr int frameThickness = 7;
constexpr int controlsTop = 210;

struct Rgb {
    int r, g, b;
};

constexpr Rgb fieldColour = {0, 0, 136};
constexpr Rgb white = {255, 255, 255};
constexpr Rgb ice = {150, 200, 255};
constexpr Rgb shadowColour = {0, 0, 56};
constexpr Rgb textColour = {225, 235, 255};
constexpr Rgb yellow = {255, 214, 40};
constexpr Rgb orange = {255, 132, 16};
constexpr Rgb wood = {238, 217, 168};
constexpr Rgb woodEdge = {176, 138, 82};
constexpr Rgb handleColour = {140, 84, 31};
constexpr Rgb steel = {200, 208, 224};
constexpr Rgb red = {232, 32, 32};
constexpr Rgb green = {32, 176, 56};
constexpr Rgb blue = {40, 96, 255};

// Frame rings from the outside in: a dark outline, a raised bevel (light
// top and left, dark bottom and right) and a dark inner line that keeps the
// field from bleeding into the frame.
struct Ring {
    Rgb topLeft, bottomRight;
};
const Ring frameRings[frameThickness] = {
    {{0, 0, 64}, {0, 0, 64}},
    {{224, 236, 255}, {0, 24, 120}},
    {{160, 200, 255}, {0, 44, 168}},
    {{96, 156, 255}, {0, 64, 208}},
    {{48, 124, 255}, {24, 96, 240}},
    {{48, 124, 255}, {24, 96, 240}},
    {{0, 0, 88}, {0, 0, 88}},
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {(int)std::lround(a.r + (b.r - a.r) * t), (int)std::lround(a.g + (b.g - a.g) * t),
            (int)std::lround(a.b + (b.b - a.b) * t)};
}

// Returns more than 256 colours when the ramps below outgrow the table.
std::vector<Rgb> BuildColourTable()
{
    std::vector<Rgb> table = {fieldColour};
    for (const Ring& ring : frameRings) {
        table.push_back(ring.topLeft);
        table.push_back(ring.bottomRight);
    }
    struct Ramp {
        Rgb from, to;
        int steps;
    };
    const Ramp ramps[] = {
        {fieldColour, white, 24},        {fieldColour, ice, 16},       {white, ice, 12},
        {fieldColour, shadowColour, 8},  {shadowColour, white, 12},    {shadowColour, ice, 8},
        {fieldColour, textColour, 16},   {fieldColour, yellow, 16},    {fieldColour, orange, 10},
        {yellow, orange, 10},            {fieldColour, wood, 10},      {fieldColour, woodEdge, 6},
        {woodEdge, wood, 6},             {wood, red, 6},               {wood, green, 6},
        {wood, blue, 6},                 {wood, yellow, 4},            {fieldColour, red, 6},
        {fieldColour, green, 6},         {fieldColour, blue, 6},       {fieldColour, handleColour, 6},
        {handleColour, steel, 4},        {fieldColour, steel, 4},      {steel, red, 4},
        {fieldColour, Mix(orange, yellow, 0.5), 8},
    };
    for (const Ramp& ramp : ramps)
        for (int i = 1; i <= ramp.steps; ++i)
            table.push_back(Mix(ramp.from, ramp.to, (double)i / ramp.steps));
    // Duplicates would only waste entries; the first copy wins.
    std::vector<Rgb> unique;
    for (const Rgb& c : table) {
        bool seen = false;
        for (const Rgb& u : unique)
            seen = seen || (u.r == c.r && u.g == c.g && u.b == c.b);
        if (!seen)
            unique.push_back(c);
    }
    return unique;
}

// The picture at samplesPerSide x samplesPerSide samples per pixel, scale
// times the size of the logo. Shapes take coordinates in pixels of the logo
// at its own size, so layout numbers below are the ones seen in that one.
class Canvas {
public:
    explicit Canvas(int scale)
        : scale_(scale), w_(logoWidth * scale * samplesPerSide), h_(logoHeight * scale * samplesPerSide),
          samples_((size_t)w_ * h_, fieldColour)
    {
    }

    int Scale() const { return scale_; }
    int Width() const { return logoWidth * scale_; }
    int Height() const { return logoHeight * scale_; }

    // Paints colour(x, y) wherever inside(x, y) holds, for samples within
    // the box given in pixels.
    void Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
              const std::function<Rgb(double, double)>& colour)
    {
        const int perPixel = samplesPerSide * scale_;
        int sx0 = std::max(0, (int)std::floor(x0 * perPixel));
        int sx1 = std::min(w_, (int)std::ceil(x1 * perPixel));
        int sy0 = std::max(0, (int)std::floor(y0 * perPixel));
        int sy1 = std::min(h_, (int)std::ceil(y1 * perPixel));
        for (int sy = sy0; sy < sy1; ++sy) {
            double y = (sy + 0.5) / perPixel;
            for (int sx = sx0; sx < sx1; ++sx) {
                double x = (sx + 0.5) / perPixel;
                if (inside(x, y)) {
                    samples_[(size_t)sy * w_ + sx] = colour(x, y);
                    spilled_ = spilled_ || sy >= controlsTop * perPixel;
                }
            }
        }
    }

    void Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside, Rgb colour)
    {
        Fill(x0, y0, x1, y1, inside, [colour](double, double) { return colour; });
    }

    // True once a shape has reached the rows kept free for the controls.
    bool HasSpilled() const { return spilled_; }

    // For the frame, the only thing allowed beside the controls. x and y
    // are pixels of this picture, at its scale.
    void SetPixel(int x, int y, Rgb colour)
    {
        for (int sy = 0; sy < samplesPerSide; ++sy)
            for (int sx = 0; sx < samplesPerSide; ++sx)
                samples_[(size_t)(y * samplesPerSide + sy) * w_ + x * samplesPerSide + sx] = colour;
    }

    Rgb Average(int x, int y) const
    {
        int r = 0, g = 0, b = 0;
        for (int sy = 0; sy < samplesPerSide; ++sy) {
            for (int sx = 0; sx < samplesPerSide; ++sx) {
                const Rgb& c = samples_[(size_t)(y * samplesPerSide + sy) * w_ + x * samplesPerSide + sx];
                r += c.r;
                g += c.g;
                b += c.b;
            }
        }
        const int n = samplesPerSide * samplesPerSide;
        return {(r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n};
    }

private:
    int scale_;
    int w_, h_;
    std::vector<Rgb> samples_;
    bool spilled_ = false;
};

// A proportional 5-column font. Rows 0-6 stand on the baseline, rows 7-8
// hold descenders; bit 4 is the leftmost column.
struct Glyph {
    char ch;
    uint8_t rows[9];
};
const Glyph fontGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11, 0x00, 0x00}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E, 0x00, 0x00}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E, 0x00, 0x00}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E, 0x00, 0x00}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F, 0x00, 0x00}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10, 0x00, 0x00}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F, 0x00, 0x00}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11, 0x00, 0x00}},
    {'I', {0x1C, 0x08, 0x08, 0x08, 0x08, 0x08, 0x1C, 0x00, 0x00}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C, 0x00, 0x00}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11, 0x00, 0x00}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F, 0x00, 0x00}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11, 0x00, 0x00}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x00, 0x00}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10, 0x00, 0x00}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D, 0x00, 0x00}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11, 0x00, 0x00}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E, 0x00, 0x00}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x00}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04, 0x00, 0x00}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A, 0x00, 0x00}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11, 0x00, 0x00}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04, 0x00, 0x00}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F, 0x00, 0x00}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F, 0x00, 0x00}},
    {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E, 0x00, 0x00}},
    {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E, 0x00, 0x00}},
    {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F, 0x00, 0x00}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E, 0x00, 0x00}},
    {'f', {0x06, 0x08, 0x08, 0x1C, 0x08, 0x08, 0x08, 0x00, 0x00}},
    {'g', {0x00, 0x00, 0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11, 0x00, 0x00}},
    {'i', {0x10, 0x00, 0x10, 0x10, 0x10, 0x10, 0x10, 0x00, 0x00}},
    {'j', {0x04, 0x00, 0x04, 0x04, 0x04, 0x04, 0x04, 0x14, 0x08}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12, 0x00, 0x00}},
    {'l', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x00, 0x00}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x15, 0x15, 0x00, 0x00}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11, 0x00, 0x00}},
    {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E, 0x00, 0x00}},
    {'p', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x1E, 0x10, 0x10}},
    {'q', {0x00, 0x00, 0x0D, 0x13, 0x11, 0x11, 0x0F, 0x01, 0x01}},
    {'r', {0x00, 0x00, 0x16, 0x18, 0x10, 0x10, 0x10, 0x00, 0x00}},
    {'s', {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E, 0x00, 0x00}},
    {'t', {0x08, 0x08, 0x1E, 0x08, 0x08, 0x08, 0x06, 0x00, 0x00}},
    {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D, 0x00, 0x00}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04, 0x00, 0x00}},
    {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A, 0x00, 0x00}},
    {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x00, 0x00}},
    {'y', {0x00, 0x00, 0x11, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F, 0x00, 0x00}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E, 0x00, 0x00}},
    {'1', {0x08, 0x18, 0x08, 0x08, 0x08, 0x08, 0x1C, 0x00, 0x00}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F, 0x00, 0x00}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E, 0x00, 0x00}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02, 0x00, 0x00}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E, 0x00, 0x00}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E, 0x00, 0x00}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08, 0x00, 0x00}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E, 0x00, 0x00}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x08, 0x10, 0x00}},
    {'!', {0x10, 0x10, 0x10, 0x10, 0x10, 0x00, 0x10, 0x00, 0x00}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04, 0x00, 0x00}},
    {'\'', {0x10, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {'-', {0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {':', {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00}},
    {';', {0x00, 0x00, 0x08, 0x00, 0x00, 0x08, 0x08, 0x10, 0x00}},
    {'(', {0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x08, 0x00, 0x00}},
    {')', {0x10, 0x08, 0x08, 0x08, 0x08, 0x08, 0x10, 0x00, 0x00}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00, 0x00, 0x00}},
    {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D, 0x00, 0x00}},
};

const Glyph* FindGlyph(char ch)
{
    for (const Glyph& glyph : fontGlyphs)
        if (glyph.ch == ch)
            return &glyph;
    return nullptr;
}

struct Segment {
    double x0, y0, x1, y1;
};

double DistanceToSegment(double x, double y, const Segment& s)
{
    double vx = s.x1 - s.x0, vy = s.y1 - s.y0;
    double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((x - s.x0) * vx + (y - s.y0) * vy) / len2 : 0;
    t = std::fmin(1.0, std::fmax(0.0, t));
    double dx = x - (s.x0 + t * vx), dy = y - (s.y0 + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

// The dot grid scaled up as blocks looks like a terminal; instead the lit
// cells are joined by round-capped strokes, which turns the same grid into
// a smooth monoline face at any size. Diagonal neighbours are joined only
// where no straight path links them, so corners round off without blobs.
std::vector<Segment> GlyphStrokes(const Glyph& glyph)
{
    auto lit = [&glyph](int col, int row) {
        return col >= 0 && col < 5 && row >= 0 && row < 9 && (glyph.rows[row] & (0x10 >> col));
    };
    std::vector<Segment> strokes;
    for (int row = 0; row < 9; ++row) {
        for (int col = 0; col < 5; ++col) {
            if (!lit(col, row))
                continue;
            double x = col + 0.5, y = row + 0.5;
            bool joined = false;
            if (lit(col + 1, row))
                strokes.push_back({x, y, x + 1, y}), joined = true;
            if (lit(col, row + 1))
                strokes.push_back({x, y, x, y + 1}), joined = true;
            if (lit(col + 1, row + 1) && !lit(col + 1, row) && !lit(col, row + 1))
                strokes.push_back({x, y, x + 1, y + 1}), joined = true;
            if (lit(col - 1, row + 1) && !lit(col - 1, row) && !lit(col, row + 1))
                strokes.push_back({x, y, x - 1, y + 1}), joined = true;
            bool joinedBefore = lit(col - 1, row) || lit(col, row - 1) ||
                                (lit(col - 1, row - 1) && !lit(col - 1, row) && !lit(col, row - 1)) ||
                                (lit(col + 1, row - 1) && !lit(col + 1, row) && !lit(col, row - 1));
            if (!joined && !joinedBefore)
                strokes.push_back({x, y, x, y});
        }
    }
    return strokes;
}

// Columns the glyph uses, so narrow letters take narrow room.
void GlyphColumns(const Glyph& glyph, int* first, int* last)
{
    uint8_t any = 0;
    for (uint8_t row : glyph.rows)
        any |= row;
    *first = 5;
    *last = -1;
    for (int col = 0; col < 5; ++col) {
        if (any & (0x10 >> col)) {
            *first = std::min(*first, col);
            *last = col;
        }
    }
}

// Characters without a glyph, the space among them, advance this many cells.
constexpr double spaceWidth = 2.5;

struct TextStyle {
    double cell;    // pixels per grid cell
    double weight;  // stroke width in cells
    double slant;   // horizontal shift per pixel of height above the baseline
    double spacing; // cells between letters
};

double TextWidth(const std::string& text, const TextStyle& style)
{
    double width = 0;
    for (char ch : text) {
        const Glyph* glyph = FindGlyph(ch);
        int first = 0, last = -1;
        if (glyph)
            GlyphColumns(*glyph, &first, &last);
        width += (glyph && last >= 0 ? last - first + 1 : spaceWidth) + style.spacing;
    }
    return (width - style.spacing) * style.cell;
}

// colour(x, y) is asked per sample, so callers can shade the letters.
void DrawText(Canvas& canvas, const std::string& text, double x, double baseline, const TextStyle& style,
              const std::function<Rgb(double, double)>& colour)
{
    const double radius = style.weight * style.cell / 2;
    for (char ch : text) {
        const Glyph* glyph = FindGlyph(ch);
        int first = 0, last = -1;
        if (glyph)
            GlyphColumns(*glyph, &first, &last);
        if (!glyph || last < 0) {
            x += (spaceWidth + style.spacing) * style.cell;
            continue;
        }
        std::vector<Segment> strokes = GlyphStrokes(*glyph);
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (Segment& s : strokes) {
            auto place = [&](double& gx, double& gy) {
                double py = baseline + (gy - 7) * style.cell;
                gx = x + (gx - first) * style.cell + (baseline - py) * style.slant;
                gy = py;
                minX = std::min(minX, gx);
                maxX = std::max(maxX, gx);
                minY = std::min(minY, gy);
                maxY = std::max(maxY, gy);
            };
            place(s.x0, s.y0);
            place(s.x1, s.y1);
        }
        canvas.Fill(
            minX - radius - 1, minY - radius - 1, maxX + radius + 1, maxY + radius + 1,
            [&strokes, radius](double px, double py) {
                for (const Segment& s : strokes)
                    if (DistanceToSegment(px, py, s) <= radius)
                        return true;
                return false;
            },
            colour);
        x += (last - first + 1 + style.spacing) * style.cell;
    }
}

// Each ring is as many pixels wide as the picture's scale.
void DrawFrame(Canvas& canvas)
{
    const int scale = canvas.Scale();
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            int fromLeft = x / scale, fromTop = y / scale;
            int fromRight = (canvas.Width() - 1 - x) / scale, fromBottom = (canvas.Height() - 1 - y) / scale;
            int ring = std::min(std::min(fromLeft, fromTop), std::min(fromRight, fromBottom));
            if (ring >= frameThickness)
                continue;
            // Where two sides meet, the corner is split on the diagonal.
            bool lit = (fromTop == ring && fromTop <= fromRight) || (fromLeft == ring && fromLeft <= fromBottom);
            canvas.SetPixel(x, y, lit ? frameRings[ring].topLeft : frameRings[ring].bottomRight);
        }
    }
}

bool IsInEllipse(double x, double y, double cx, double cy, double rx, double ry)
{
    double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void FillDisc(Canvas& canvas, double cx, double cy, double r, Rgb colour)
{
    canvas.Fill(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1,
                [=](double x, double y) { return IsInEllipse(x, y, cx, cy, r, r); }, colour);
}

void FillCapsule(Canvas& canvas, const Segment& s, double r, Rgb colour)
{
    canvas.Fill(std::min(s.x0, s.x1) - r - 1, std::min(s.y0, s.y1) - r - 1, std::max(s.x0, s.x1) + r + 1,
                std::max(s.y0, s.y1) + r + 1, [=](double x, double y) { return DistanceToSegment(x, y, s) <= r; },
                colour);
}

// The painter's palette and brush of the program's icon, so the installer
// and the program it installs look related.
void DrawPaletteMark(Canvas& canvas, double left, double top, double size)
{
    auto at = [=](double u, double v, double* x, double* y) {
        *x = left + u * size;
        *y = top + v * size;
    };
    double cx, cy, hx, hy;
    at(0.44, 0.50, &cx, &cy);
    at(0.62, 0.60, &hx, &hy);
    const double rx = 0.38 * size, ry = 0.32 * size, hole = 0.07 * size, rim = 0.025 * size;
    canvas.Fill(cx - rx - 1, cy - ry - 1, cx + rx + 1, cy + ry + 1,
                [=](double x, double y) {
                    return IsInEllipse(x, y, cx, cy, rx, ry) && !IsInEllipse(x, y, hx, hy, hole, hole);
                },
                [=](double x, double y) {
                    bool inner = IsInEllipse(x, y, cx, cy, rx - rim, ry - rim) &&
                                 !IsInEllipse(x, y, hx, hy, hole + rim, hole + rim);
                    return inner ? wood : woodEdge;
                });
    const double dots[4][2] = {{0.30, 0.32}, {0.50, 0.26}, {0.24, 0.55}, {0.42, 0.72}};
    const Rgb paints[4] = {red, yellow, green, blue};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        at(dots[i][0], dots[i][1], &x, &y);
        FillDisc(canvas, x, y, 0.075 * size, paints[i]);
    }
    // The brush lies beside the thumb hole, its tip wet with paint.
    Segment handle, ferrule;
    at(0.80, 0.56, &handle.x0, &handle.y0);
    at(0.98, 0.08, &handle.x1, &handle.y1);
    at(0.765, 0.65, &ferrule.x0, &ferrule.y0);
    ferrule.x1 = handle.x0;
    ferrule.y1 = handle.y0;
    FillCapsule(canvas, handle, 0.035 * size, handleColour);
    FillCapsule(canvas, ferrule, 0.045 * size, steel);
    double tipX, tipY;
    at(0.70, 0.84, &tipX, &tipY);
    const int steps = 200;
    for (int i = 0; i <= steps; ++i) {
        double t = (double)i / steps;
        double r = 0.05 * size * std::sqrt(1 - t) * (1 - 0.4 * t * t) + 0.004 * size;
        FillDisc(canvas, ferrule.x0 + (tipX - ferrule.x0) * t, ferrule.y0 + (tipY - ferrule.y0) * t, r, red);
    }
}

// A tapering stroke under the title, as if made with the program's pen.
void DrawSwoosh(Canvas& canvas, double x0, double x1, double y, double thickness)
{
    const int steps = 600;
    for (int i = 0; i <= steps; ++i) {
        double t = (double)i / steps;
        double x = x0 + (x1 - x0) * t;
        double cy = y - 4.0 * std::sin(t * 3.14159265358979 * 1.1) + 3.0 * t;
        double r = thickness / 2 * std::pow(std::sin(std::fmin(1.0, t * 1.6 + 0.08) * 3.14159265358979 / 2), 0.7) *
                   (1.0 - 0.75 * t * t);
        FillDisc(canvas, x, cy, r, Mix(orange, yellow, std::fmin(1.0, t * 1.4)));
    }
}

void Draw(Canvas& canvas)
{
    DrawFrame(canvas);

    const double left = 44;
    const TextStyle title = {8.5, 0.84, 0.12, 0.8};
    const double titleBase = 84;
    const std::string name = "Pictavo";
    DrawText(canvas, name, left + 4, titleBase + 4, title, [](double, double) { return shadowColour; });
    DrawText(canvas, name, left, titleBase, title,
             [=](double, double y) { return Mix(white, ice, std::fmin(1.0, std::fmax(0.0, (y - 24) / 60))); });
    DrawSwoosh(canvas, left - 4, left + TextWidth(name, title) + 30, titleBase + 16, 9);

    DrawPaletteMark(canvas, 400, 20, 124);

    const TextStyle body = {2.25, 0.85, 0.0, 0.8};
    const char* lines[] = {
        "Draw freehand with the mouse",
        "Start over with File New",
        "Save your pictures as BMP files",
        "Small, quick and free to share",
    };
    const Rgb bullets[] = {red, yellow, green, blue};
    for (int i = 0; i < 4; ++i) {
        double base = 134 + 22 * i;
        FillDisc(canvas, left + 6, base - 6, 4.5, bullets[i]);
        DrawText(canvas, lines[i], left + 22, base, body, [](double, double) { return textColour; });
    }
}

int FindNearestEntry(const std::vector<Rgb>& table, Rgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < (int)table.size(); ++i) {
        long dr = table[i].r - c.r, dg = table[i].g - c.g, db = table[i].b - c.b;
        long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// One row in BI_RLE8: repeats as (count, index) pairs, other stretches of
// three or more pixels as literal runs padded to a 16-bit boundary.
void AppendRle8Row(std::vector<uint8_t>& out, const std::vector<uint8_t>& row)
{
    const size_t n = row.size();
    for (size_t i = 0; i < n;) {
        size_t run = 1;
        while (i + run < n && run < 255 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back((uint8_t)run);
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t j = i;
        while (j < n && j - i < 255 && !(j + 1 < n && row[j] == row[j + 1]))
            ++j;
        size_t length = j - i;
        if (length >= 3) {
            out.push_back(0);
            out.push_back((uint8_t)length);
            out.insert(out.end(), row.begin() + i, row.begin() + j);
            if (length % 2)
                out.push_back(0);
        } else {
            for (size_t k = i; k < j; ++k) {
                out.push_back(1);
                out.push_back(row[k]);
            }
        }
        i = j;
    }
    out.push_back(0); // end of line
    out.push_back(0);
}

// The table is padded with black to the full 256 entries that the header
// promises. Compressed, the rows are BI_RLE8: the field that fills most of
// the picture costs two bytes a row instead of its width.
std::vector<uint8_t> EncodeBmp(const Canvas& canvas, std::vector<Rgb> table, bool compressed)
{
    table.resize(256, Rgb{0, 0, 0});
    const int width = canvas.Width(), height = canvas.Height();
    const unsigned stride = (width + 3) & ~3u;
    const unsigned tableBytes = 256 * 4;
    const unsigned offset = 14 + 40 + tableBytes;
    std::vector<uint8_t> image;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x)
            row.push_back((uint8_t)FindNearestEntry(table, canvas.Average(x, y)));
        if (compressed) {
            AppendRle8Row(image, row);
        } else {
            row.resize(stride, 0);
            image.insert(image.end(), row.begin(), row.end());
        }
    }
    if (compressed) {
        image.push_back(0); // end of picture
        image.push_back(1);
    }
    const unsigned imageBytes = (unsigned)image.size();
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, offset + imageBytes);
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, width);
    Put32(file, height); // positive: bottom-up rows
    Put16(file, 1);
    Put16(file, 8);
    Put32(file, compressed ? 1 : 0); // BI_RLE8 or BI_RGB
    Put32(file, imageBytes);
    Put32(file, 2835); // 72 dpi
    Put32(file, 2835);
    Put32(file, 256);
    Put32(file, 0);
    for (const Rgb& c : table) {
        file.push_back((uint8_t)c.b);
        file.push_back((uint8_t)c.g);
        file.push_back((uint8_t)c.r);
        file.push_back(0);
    }
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    // The second size is drawn, not enlarged, for screens above 150 %.
    int scale = argc == 3 ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && argc != 3) || scale < 1 || scale > 4) {
        std::fprintf(stderr, "usage: make_logo OUTPUT.bmp [SCALE 1-4]\n");
        return 2;
    }
    std::vector<Rgb> table = BuildColourTable();
    if (table.size() > 256) {
        std::fprintf(stderr, "make_logo: the ramps need %zu colours, more than 256\n", table.size());
        return 1;
    }
    Canvas canvas(scale);
    Draw(canvas);
    if (canvas.HasSpilled()) {
        std::fprintf(stderr, "make_logo: the drawing reaches below row %d, where the controls sit\n", controlsTop);
        return 1;
    }
    // The logo at its own size stays uncompressed, as the pages have always
    // loaded it; the larger one would otherwise add most of a megabyte.
    std::vector<uint8_t> file = EncodeBmp(canvas, table, scale > 1);
    if (!WriteBytes(argv[1], file)) {
        std::fprintf(stderr, "make_logo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
