// picgen: draws the configurator's three pictures, the window icon, the banner
// and the Save glyph, and writes them into the folder named on its command line:
//
//     picgen <folder>    writes KorvaneCFG.ico, banner.bmp and save.bmp
//
// Every pixel is computed here from polygons, distances and gradients; nothing
// comes from the machine (no fonts, no system images, no clock). The arithmetic
// is plain IEEE double arithmetic (+, -, *, /, sqrt; no library curves such as
// sin or pow, whose last bit differs between C runtimes), so the program writes
// the same bytes on every run and every machine. The committed pictures are
// checked against its output.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Geometry

struct Point {
    double x = 0;
    double y = 0;
};

Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }

using Polygon = std::vector<Point>;

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Mix(double a, double b, double t) { return a + (b - a) * t; }

// Distance from p to the polygon's outline, negative inside (even-odd rule).
double SignedDistance(const Polygon& poly, Point p) {
    double nearest = Dot(p - poly[0], p - poly[0]);
    double sign = 1.0;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point edge = poly[j] - poly[i];
        const Point toP = p - poly[i];
        const double t = Clamp01(Dot(toP, edge) / Dot(edge, edge));
        const Point offset = toP - edge * t;
        nearest = std::min(nearest, Dot(offset, offset));
        const bool above = p.y >= poly[i].y;
        const bool below = p.y < poly[j].y;
        const bool left = edge.x * toP.y > edge.y * toP.x;
        if ((above && below && left) || (!above && !below && !left))
            sign = -sign;
    }
    return sign * std::sqrt(nearest);
}

// Distance to the union of several polygons.
double SignedDistance(const std::vector<Polygon>& parts, Point p) {
    double d = 1e9;
    for (const Polygon& part : parts)
        d = std::min(d, SignedDistance(part, p));
    return d;
}

// Appends a quadratic Bezier curve from the polygon's last point to `end`.
void CurveTo(Polygon& poly, Point control, Point end, int steps = 24) {
    const Point start = poly.back();
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double u = 1.0 - t;
        poly.push_back({u * u * start.x + 2 * u * t * control.x + t * t * end.x,
                        u * u * start.y + 2 * u * t * control.y + t * t * end.y});
    }
}

// Maps a shape drawn in the unit square onto a square of `size` pixels at (left, top).
Polygon Place(const Polygon& unit, double left, double top, double size) {
    Polygon placed;
    for (Point p : unit)
        placed.push_back({left + p.x * size, top + p.y * size});
    return placed;
}

std::vector<Polygon> Place(const std::vector<Polygon>& unit, double left, double top, double size) {
    std::vector<Polygon> placed;
    for (const Polygon& part : unit)
        placed.push_back(Place(part, left, top, size));
    return placed;
}

Polygon Rectangle(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// ---------------------------------------------------------------------------
// Colour and canvas

// Premultiplied colour, each channel 0..1.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

Rgba Hex(uint32_t rgb, double alpha = 1.0) {
    return {((rgb >> 16) & 0xFF) / 255.0 * alpha, ((rgb >> 8) & 0xFF) / 255.0 * alpha,
            (rgb & 0xFF) / 255.0 * alpha, alpha};
}

Rgba Mix(Rgba a, Rgba b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}

Rgba Scale(Rgba c, double k) { return {c.r * k, c.g * k, c.b * k, c.a * k}; }

uint8_t ToByte(double v) { return uint8_t(int(Clamp01(v) * 255.0 + 0.5)); }

// Edge coverage of a pixel whose centre lies `distance` pixels outside a shape.
double Coverage(double distance) { return Clamp01(0.5 - distance); }

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
};

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    Box Whole() const { return {0, 0, width_, height_}; }
    Rgba At(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }

    // Source-over blending of `colour` weighted by `coverage`.
    void Blend(int x, int y, Rgba colour, double coverage) {
        Rgba& dst = pixels_[size_t(y) * width_ + x];
        const Rgba src = Scale(colour, coverage);
        const double keep = 1.0 - src.a;
        dst = {src.r + dst.r * keep, src.g + dst.g * keep, src.b + dst.b * keep, src.a + dst.a * keep};
    }

    void Set(int x, int y, Rgba colour) { pixels_[size_t(y) * width_ + x] = colour; }

    // Paints every pixel of `box` with paint(x, y) weighted by cover(x, y), both
    // taken at the pixel's centre.
    template <typename Cover, typename Paint>
    void Draw(Box box, Cover cover, Paint paint) {
        box = Clip(box);
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                const Point centre{x + 0.5, y + 0.5};
                const double c = cover(centre);
                if (c > 0)
                    Blend(x, y, paint(centre), c);
            }
    }

private:
    Box Clip(Box b) const {
        return {std::max(b.left, 0), std::max(b.top, 0), std::min(b.right, width_), std::min(b.bottom, height_)};
    }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

Box Around(double left, double top, double size, double margin) {
    return {int(left - margin), int(top - margin), int(left + size + margin) + 1, int(top + size + margin) + 1};
}

// ---------------------------------------------------------------------------
// The emblem: a steel shield with a dark face, a thin cyan inlay and a "K".

constexpr uint32_t kCyan = 0x35C2F0;

Polygon ShieldOutline() {
    Polygon p{{0.50, 0.04}};
    CurveTo(p, {0.70, 0.165}, {0.90, 0.165});
    p.push_back({0.90, 0.46});
    CurveTo(p, {0.90, 0.80}, {0.50, 0.97}, 32);
    CurveTo(p, {0.10, 0.80}, {0.10, 0.46}, 32);
    p.push_back({0.10, 0.165});
    CurveTo(p, {0.30, 0.165}, {0.50, 0.04});
    p.pop_back();  // the last point repeats the first
    return p;
}

std::vector<Polygon> LetterK() {
    return {
        Rectangle(0.335, 0.27, 0.445, 0.70),
        {{0.445, 0.44}, {0.585, 0.27}, {0.705, 0.27}, {0.445, 0.585}},
        {{0.50, 0.52}, {0.585, 0.445}, {0.715, 0.70}, {0.595, 0.70}},
    };
}

// Weight of the left half of the shield at x, smoothed over one pixel.
double LeftHalf(double x, double middle) { return Clamp01(0.5 - (x - middle)); }

void DrawShadow(Canvas& canvas, const Polygon& shield, double left, double top, double size) {
    const double drop = size * 0.025;
    const double soft = size * 0.03;
    canvas.Draw(
        Around(left, top, size, soft * 2),
        [&](Point p) {
            const double d = SignedDistance(shield, {p.x, p.y - drop});
            const double t = Clamp01((soft - d) / (2 * soft));
            return 0.45 * t * t * (3 - 2 * t);
        },
        [](Point) { return Hex(0x000000); });
}

void DrawRim(Canvas& canvas, const Polygon& shield, double left, double top, double size) {
    const double middle = left + size * 0.5;
    canvas.Draw(
        Around(left, top, size, 1), [&](Point p) { return Coverage(SignedDistance(shield, p)); },
        [&](Point p) {
            const double t = Clamp01((p.y - top) / size);
            const Rgba lit = Mix(Hex(0xEEF3F8), Hex(0x8494A6), t);
            const Rgba shaded = Mix(Hex(0xC3CFDB), Hex(0x5C6B7C), t);
            return Mix(shaded, lit, LeftHalf(p.x, middle));
        });
}

void DrawFace(Canvas& canvas, const Polygon& shield, double rim, double left, double top, double size) {
    const double middle = left + size * 0.5;
    canvas.Draw(
        Around(left, top, size, 1), [&](Point p) { return Coverage(SignedDistance(shield, p) + rim); },
        [&](Point p) {
            const double t = Clamp01((p.y - top) / size);
            const Rgba lit = Mix(Hex(0x2A3A4E), Hex(0x111922), t);
            const Rgba shaded = Mix(Hex(0x1B2634), Hex(0x090E14), t);
            return Mix(shaded, lit, LeftHalf(p.x, middle));
        });
}

void DrawInlay(Canvas& canvas, const Polygon& shield, double rim, double left, double top, double size) {
    const double inset = rim * 1.8;
    const double halfWidth = std::max(size * 0.006, 0.5);
    canvas.Draw(
        Around(left, top, size, 1),
        [&](Point p) {
            const double d = SignedDistance(shield, p) + inset;
            return Coverage((d < 0 ? -d : d) - halfWidth);
        },
        [&](Point p) { return Hex(kCyan, Mix(0.95, 0.45, Clamp01((p.y - top) / size))); });
}

void DrawLetter(Canvas& canvas, double left, double top, double size) {
    const std::vector<Polygon> k = Place(LetterK(), left, top, size);
    canvas.Draw(
        Around(left, top, size, 1), [&](Point p) { return Coverage(SignedDistance(k, p)); },
        [&](Point p) {
            const double t = Clamp01(((p.y - top) / size - 0.27) / 0.43);
            return Mix(Hex(0x9BEEFF), Hex(0x1888CC), t);
        });
}

// Draws the emblem into the square of `size` pixels at (left, top).
void DrawEmblem(Canvas& canvas, double left, double top, double size) {
    const Polygon shield = Place(ShieldOutline(), left, top, size);
    const double rim = std::max(size * 0.06, 1.25);
    if (size >= 32)
        DrawShadow(canvas, shield, left, top, size);
    DrawRim(canvas, shield, left, top, size);
    DrawFace(canvas, shield, rim, left, top, size);
    if (size >= 48)
        DrawInlay(canvas, shield, rim, left, top, size);
    DrawLetter(canvas, left, top, size);
}

// ---------------------------------------------------------------------------
// Lettering: a 5 x 7 pixel font whose cells are drawn as squares, with
// diagonal neighbours joined so that slanted strokes stay closed.

struct Glyph {
    char letter;
    const char* rows[7];
};

constexpr Glyph kFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
};

const Glyph& FindGlyph(char letter) {
    for (const Glyph& g : kFont)
        if (g.letter == letter)
            return g;
    throw std::logic_error(std::string("no glyph for ") + letter);
}

bool CellOn(const Glyph& g, int col, int row) {
    return col >= 0 && col < 5 && row >= 0 && row < 7 && g.rows[row][col] == '#';
}

// The glyph as polygons in units of one cell: a square per cell, and the convex
// hull of each pair of diagonal neighbours that no orthogonal cell connects.
std::vector<Polygon> GlyphShape(const Glyph& g) {
    std::vector<Polygon> parts;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col) {
            if (!CellOn(g, col, row))
                continue;
            const double x = col, y = row;
            parts.push_back(Rectangle(x, y, x + 1, y + 1));
            if (CellOn(g, col + 1, row + 1) && !CellOn(g, col + 1, row) && !CellOn(g, col, row + 1))
                parts.push_back({{x, y}, {x + 1, y}, {x + 2, y + 1}, {x + 2, y + 2}, {x + 1, y + 2}, {x, y + 1}});
            if (CellOn(g, col - 1, row + 1) && !CellOn(g, col - 1, row) && !CellOn(g, col, row + 1))
                parts.push_back({{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 2}, {x - 1, y + 2}, {x - 1, y + 1}});
        }
    return parts;
}

struct TextStyle {
    double cell;     // pixels per font cell
    double advance;  // pixels from one letter's left edge to the next one's
    Rgba top;        // fill colour at the top of the letters ...
    Rgba bottom;     // ... and at their foot
};

// Draws `text` with its top-left corner at (left, top), with a soft drop shadow.
void DrawText(Canvas& canvas, const std::string& text, double left, double top, const TextStyle& style) {
    const double height = style.cell * 7;
    for (size_t i = 0; i < text.size(); ++i) {
        const double x = left + double(i) * style.advance;
        const std::vector<Polygon> shape = Place(GlyphShape(FindGlyph(text[i])), x, top, style.cell);
        const Box box{int(x) - 2, int(top) - 2, int(x + style.cell * 5) + 4, int(top + height) + 4};
        const double drop = std::max(1.0, style.cell / 3);
        canvas.Draw(
            box, [&](Point p) { return 0.6 * Coverage(SignedDistance(shape, {p.x - drop, p.y - drop})); },
            [](Point) { return Hex(0x000000); });
        canvas.Draw(
            box, [&](Point p) { return Coverage(SignedDistance(shape, p)); },
            [&](Point p) { return Mix(style.top, style.bottom, Clamp01((p.y - top) / height)); });
    }
}

// ---------------------------------------------------------------------------
// The banner: 512 x 256, dark carbon weave, the emblem on the left and the
// product name on the right.

// Brightness of a twill weave of 4-pixel tows: each tow is lit along its middle.
double Weave(int x, int y) {
    const int tow = 4;
    const bool across = ((x / tow) + (y / tow)) % 2 == 0;
    const int along = across ? y % tow : x % tow;
    const double t = (along + 0.5) / tow;  // 0..1 across the tow
    return 1.0 - 2.0 * (t < 0.5 ? 0.5 - t : t - 0.5);
}

void DrawBackground(Canvas& canvas) {
    const double w = canvas.Width(), h = canvas.Height();
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba base = Mix(Hex(0x1B2028), Hex(0x0C0F13), (y + 0.5) / h);
            const double dx = (x + 0.5 - w * 0.5) / (w * 0.5);
            const double dy = (y + 0.5 - h * 0.5) / (h * 0.5);
            const double vignette = 1.0 - 0.35 * Clamp01((dx * dx + dy * dy) * 0.5);
            const double shade = (0.92 + 0.16 * Weave(x, y)) * vignette;
            canvas.Set(x, y, {base.r * shade, base.g * shade, base.b * shade, 1.0});
        }
}

// A soft cyan halo centred at (cx, cy) with the given radius.
void DrawGlow(Canvas& canvas, double cx, double cy, double radius, double strength) {
    canvas.Draw(
        canvas.Whole(),
        [&](Point p) {
            const double dx = p.x - cx, dy = p.y - cy;
            const double t = Clamp01(1.0 - std::sqrt(dx * dx + dy * dy) / radius);
            return strength * t * t;
        },
        [](Point) { return Hex(kCyan); });
}

// A thin cyan bar filling `box` that fades out towards both of its ends.
void DrawFadingBar(Canvas& canvas, Box box, double strength, bool vertical) {
    canvas.Draw(
        box,
        [&](Point p) {
            const double t = vertical ? (p.y - box.top) / (box.bottom - box.top)
                                      : (p.x - box.left) / (box.right - box.left);
            const double centred = 1.0 - 2.0 * (t < 0.5 ? 0.5 - t : t - 0.5);
            return strength * Clamp01(centred * 2.5);
        },
        [](Point) { return Hex(kCyan); });
}

Canvas DrawBanner() {
    Canvas canvas(512, 256);
    DrawBackground(canvas);
    DrawGlow(canvas, 120, 128, 120, 0.22);
    DrawEmblem(canvas, 32, 40, 176);
    DrawFadingBar(canvas, {212, 70, 214, 186}, 0.55, true);

    const TextStyle name{6, 36, Hex(0xF4F7FA), Hex(0xA8B6C6)};
    const TextStyle role{3, 21, Hex(0x7FDDFF), Hex(0x2A9FD8)};
    DrawText(canvas, "KORVANE", 236, 84, name);
    canvas.Draw({236, 138, 236 + 246, 140}, [](Point p) { return Clamp01(1.2 - (p.x - 236) / 246); },
                [](Point) { return Hex(kCyan); });
    DrawText(canvas, "CONFIGURATOR", 236, 150, role);
    DrawFadingBar(canvas, {0, 253, 512, 256}, 0.6, false);
    return canvas;
}

// ---------------------------------------------------------------------------
// The Save glyph: a 32 x 32 floppy disk in light colours, drawn pixel by pixel
// on magenta, which the button treats as transparent (its lower-left pixel).

constexpr uint32_t kTransparent = 0xFF00FF;

void FillRect(Canvas& canvas, int left, int top, int right, int bottom, uint32_t rgb) {
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            canvas.Set(x, y, Hex(rgb));
}

Canvas DrawSaveGlyph() {
    Canvas canvas(32, 32);
    FillRect(canvas, 0, 0, 31, 31, kTransparent);

    // Body with a cut top-right corner: light frame, steel fill.
    const int left = 3, top = 3, right = 28, bottom = 28, cut = 4;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const int overCut = (x - (right - cut)) - (y - top);
            if (overCut > 0)
                continue;
            const bool frame = x == left || x == right || y == top || y == bottom || overCut == 0;
            canvas.Set(x, y, Hex(frame ? 0xEEF3F8 : 0x98ACC1));
        }

    // Metal shutter along the top edge with its window.
    FillRect(canvas, 9, 3, 21, 11, 0xEEF3F8);
    FillRect(canvas, 16, 5, 19, 9, 0x25303C);

    // Paper label with three written lines, the first one cyan.
    FillRect(canvas, 7, 15, 24, 28, 0xFAFCFE);
    FillRect(canvas, 9, 18, 22, 19, kCyan);
    FillRect(canvas, 9, 22, 22, 22, 0x8B9BAD);
    FillRect(canvas, 9, 25, 19, 25, 0x8B9BAD);
    return canvas;
}

// ---------------------------------------------------------------------------
// File formats

class ByteWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

enum class AlphaBytes { Opaque, Zero, Straight };

void WriteInfoHeader(ByteWriter& out, int width, int height, uint32_t imageBytes) {
    out.U32(40);
    out.U32(uint32_t(width));
    out.U32(uint32_t(height));
    out.U16(1);   // planes
    out.U16(32);  // bits per pixel
    out.U32(0);   // BI_RGB
    out.U32(imageBytes);
    out.U32(3780);  // 96 pixels per inch
    out.U32(3780);
    out.U32(0);
    out.U32(0);
}

// Pixels bottom-up as blue, green, red, alpha; colour channels un-premultiplied.
void WritePixels(ByteWriter& out, const Canvas& canvas, AlphaBytes alpha) {
    for (int y = canvas.Height() - 1; y >= 0; --y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba c = canvas.At(x, y);
            const uint8_t a = ToByte(c.a);
            const double unmultiply = a == 0 ? 0.0 : 1.0 / c.a;
            out.U8(ToByte(c.b * unmultiply));
            out.U8(ToByte(c.g * unmultiply));
            out.U8(ToByte(c.r * unmultiply));
            out.U8(alpha == AlphaBytes::Opaque ? 255 : alpha == AlphaBytes::Zero ? 0 : a);
        }
}

std::vector<uint8_t> EncodeBmp(const Canvas& canvas, AlphaBytes alpha) {
    const uint32_t imageBytes = uint32_t(canvas.Width()) * canvas.Height() * 4;
    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(54 + imageBytes);
    out.U32(0);
    out.U32(54);
    WriteInfoHeader(out, canvas.Width(), canvas.Height(), imageBytes);
    WritePixels(out, canvas, alpha);
    return out.Bytes();
}

// One icon image: header with doubled height, colour pixels, then the AND mask
// (1 = transparent), rows padded to 32 bits.
std::vector<uint8_t> EncodeIconImage(const Canvas& canvas) {
    const int size = canvas.Width();
    const int maskRow = (size + 31) / 32 * 4;
    ByteWriter out;
    WriteInfoHeader(out, size, size * 2, uint32_t(size * size * 4 + maskRow * size));
    WritePixels(out, canvas, AlphaBytes::Straight);
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskRow), 0);
        for (int x = 0; x < size; ++x)
            if (ToByte(canvas.At(x, y).a) == 0)
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        for (uint8_t b : row)
            out.U8(b);
    }
    return out.Bytes();
}

std::vector<uint8_t> EncodeIcon(const std::vector<Canvas>& images) {
    std::vector<std::vector<uint8_t>> encoded;
    for (const Canvas& c : images)
        encoded.push_back(EncodeIconImage(c));

    ByteWriter out;
    out.U16(0);
    out.U16(1);  // icon, not cursor
    out.U16(uint16_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].Width();
        out.U8(uint8_t(size == 256 ? 0 : size));
        out.U8(uint8_t(size == 256 ? 0 : size));
        out.U8(0);  // no palette
        out.U8(0);
        out.U16(1);
        out.U16(32);
        out.U32(uint32_t(encoded[i].size()));
        out.U32(offset);
        offset += uint32_t(encoded[i].size());
    }
    std::vector<uint8_t> bytes = out.Bytes();
    for (const auto& image : encoded)
        bytes.insert(bytes.end(), image.begin(), image.end());
    return bytes;
}

std::vector<uint8_t> DrawIcon() {
    std::vector<Canvas> images;
    for (int size : {256, 128, 48, 32, 24, 16}) {
        Canvas canvas(size, size);
        DrawEmblem(canvas, 0, 0, size);
        images.push_back(std::move(canvas));
    }
    return EncodeIcon(images);
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: picgen <output folder>\n", stderr);
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        WriteFile(folder / "KorvaneCFG.ico", DrawIcon());
        WriteFile(folder / "banner.bmp", EncodeBmp(DrawBanner(), AlphaBytes::Opaque));
        WriteFile(folder / "save.bmp", EncodeBmp(DrawSaveGlyph(), AlphaBytes::Zero));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "picgen: %s\n", e.what());
        return 1;
    }
}
