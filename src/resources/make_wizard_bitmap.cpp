// Draws the wizard's picture (bitmap 140) and writes it as an uncompressed 24-bit BMP.
// A build-time tool: it runs on the build machine, so it uses nothing but the standard library.
//
// The picture: a data cube with one highlighted cell, an arrow drilling down from that cell
// into a table of rows, on a blue gradient.  Every pixel is supersampled 4 x 4 so edges are
// smooth without any image library.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 207;
constexpr int kHeight = 284;
constexpr int kSamples = 4;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct Pt {
    double x, y;
};

// Convex quadrilateral, vertices in either winding.
bool InQuad(const Pt (&q)[4], double x, double y) {
    int sign = 0;
    for (int i = 0; i < 4; ++i) {
        const Pt& a = q[i];
        const Pt& b = q[(i + 1) % 4];
        double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (s == 0)
            continue;
        if (sign == 0)
            sign = s;
        else if (s != sign)
            return false;
    }
    return true;
}

double DistToSegment(Pt a, Pt b, double x, double y) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double px = a.x + t * dx - x, py = a.y + t * dy - y;
    return std::sqrt(px * px + py * py);
}

// Position inside a parallelogram spanned from origin o by edges u and v, as (s, t) in 0..1.
bool ParamIn(Pt o, Pt u, Pt v, double x, double y, double* s, double* t) {
    double det = u.x * v.y - u.y * v.x;
    double rx = x - o.x, ry = y - o.y;
    *s = (rx * v.y - ry * v.x) / det;
    *t = (u.x * ry - u.y * rx) / det;
    return *s >= 0 && *s <= 1 && *t >= 0 && *t <= 1;
}

// Grid lines at thirds of a face.
bool OnGrid(double s, double t, double width) {
    for (double k : {1.0 / 3, 2.0 / 3}) {
        if (std::fabs(s - k) < width || std::fabs(t - k) < width)
            return true;
    }
    return false;
}

// The cube: an isometric view, top vertex at (cx, top), edge projected to (dx, dy) and height h.
constexpr double cx = 103, top = 26, dx = 54, dy = 30, h = 64;
const Pt kTopO{cx, top}, kTopU{dx, dy}, kTopV{-dx, dy};
const Pt kLeftO{cx - dx, top + dy}, kLeftU{dx, dy}, kLeftV{0, h};
const Pt kRightO{cx, top + 2 * dy}, kRightU{dx, -dy}, kRightV{0, h};

// The drilled cell: middle row, first column of the right face.
constexpr int kCellS = 0, kCellT = 1;
constexpr double kArrowX = cx + dx * (kCellS + 0.5) / 3;
constexpr double kArrowTop = top + 2 * dy - dy * (kCellS + 0.5) / 3 + h * (kCellT + 0.5) / 3;

// Table below the cube.
constexpr double kTableL = 26, kTableR = 181, kTableTop = 196, kRowH = 13;
constexpr int kRows = 5;

Rgb Shade(double x, double y) {
    // Background: deep blue to teal, lighter towards the upper left.
    double g = y / kHeight;
    Rgb c = Mix({18, 36, 92}, {12, 108, 136}, g);
    double glow = std::exp(-((x - 40) * (x - 40) + (y - 40) * (y - 40)) / (2 * 90.0 * 90.0));
    c = Mix(c, {90, 140, 200}, 0.35 * glow);

    // Faint perspective lines on the floor behind the table.
    for (int i = -6; i <= 6; ++i) {
        Pt a{cx, 150}, b{cx + i * 45.0, kHeight + 20.0};
        if (y > 150 && DistToSegment(a, b, x, y) < 0.5)
            c = Mix(c, {120, 180, 220}, 0.18);
    }

    // Soft shadow of the cube.
    double sx = (x - cx) / 70, sy = (y - (top + 2 * dy + h + 6)) / 10;
    if (sx * sx + sy * sy < 1)
        c = Mix(c, {5, 15, 40}, 0.35 * (1 - (sx * sx + sy * sy)));

    double s, t;
    const double line = 0.018;
    if (ParamIn(kTopO, kTopU, kTopV, x, y, &s, &t)) {
        c = Mix({150, 200, 240}, {110, 170, 225}, (s + t) / 2);
        if (OnGrid(s, t, line))
            c = {40, 80, 140};
    } else if (ParamIn(kLeftO, kLeftU, kLeftV, x, y, &s, &t)) {
        c = Mix({70, 130, 200}, {45, 95, 165}, t);
        if (OnGrid(s, t, line))
            c = {25, 55, 110};
    } else if (ParamIn(kRightO, kRightU, kRightV, x, y, &s, &t)) {
        c = Mix({45, 100, 170}, {30, 70, 135}, t);
        int col = std::min(2, static_cast<int>(s * 3)), row = std::min(2, static_cast<int>(t * 3));
        if (col == kCellS && row == kCellT)
            c = Mix({255, 190, 60}, {240, 140, 30}, t * 3 - row);
        if (OnGrid(s, t, line))
            c = {20, 45, 95};
    }

    // Cube outline.
    const Pt corners[] = {{cx, top},
                          {cx + dx, top + dy},
                          {cx, top + 2 * dy},
                          {cx - dx, top + dy},
                          {cx - dx, top + dy + h},
                          {cx, top + 2 * dy + h},
                          {cx + dx, top + dy + h}};
    const int edges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {3, 4}, {4, 5}, {5, 6}, {6, 1}, {2, 5}};
    for (const auto& e : edges) {
        if (DistToSegment(corners[e[0]], corners[e[1]], x, y) < 0.9)
            c = {230, 240, 255};
    }

    // Drill arrow from the highlighted cell to the table's highlighted row.
    const double arrowBottom = kTableTop + kRowH * 3 - 3;
    const double shaftEnd = arrowBottom - 10;
    if (y > kArrowTop && y < shaftEnd && std::fabs(x - kArrowX) < 2.2)
        c = {255, 200, 70};
    const Pt head[4] = {
        {kArrowX - 8, shaftEnd}, {kArrowX + 8, shaftEnd}, {kArrowX, arrowBottom}, {kArrowX, arrowBottom}};
    if (InQuad(head, x, y) && y >= shaftEnd)
        c = {255, 200, 70};

    // The table: a header row and data rows, one of them highlighted, with text stand-ins.
    const double tableBottom = kTableTop + kRowH * (kRows + 1);
    if (x >= kTableL && x < kTableR && y >= kTableTop && y < tableBottom) {
        bool arrowHere = InQuad(head, x, y) && y >= shaftEnd;
        bool shaftHere = y < shaftEnd && std::fabs(x - kArrowX) < 2.2;
        if (!arrowHere && !shaftHere) {
            int row = static_cast<int>((y - kTableTop) / kRowH);
            double ry = y - kTableTop - row * kRowH;
            double colW = (kTableR - kTableL) / 3;
            int col = static_cast<int>((x - kTableL) / colW);
            double rx = x - kTableL - col * colW;
            if (row == 0) {
                c = Mix({60, 70, 90}, {35, 45, 60}, ry / kRowH);
                if (ry > 5 && ry < 8 && rx > 5 && rx < colW * 0.6)
                    c = {235, 235, 240};
            } else {
                bool hot = row == 3;
                c = hot ? Rgb{255, 226, 150} : (row % 2 ? Rgb{246, 248, 252} : Rgb{224, 232, 244});
                double barLen = colW * (0.35 + 0.1 * ((row * 7 + col * 3) % 5));
                if (ry > 5 && ry < 8 && rx > 5 && rx < barLen)
                    c = hot ? Rgb{150, 80, 10} : Rgb{120, 130, 150};
            }
            if (std::fabs(ry) < 0.6 || std::fabs(rx) < 0.6)
                c = Mix(c, {150, 160, 180}, 0.8);
        }
    }
    // Table border.
    const Pt tl{kTableL, kTableTop}, tr{kTableR, kTableTop}, bl{kTableL, tableBottom},
        br{kTableR, tableBottom};
    for (auto seg : {std::pair<Pt, Pt>{tl, tr}, {tr, br}, {br, bl}, {bl, tl}}) {
        if (DistToSegment(seg.first, seg.second, x, y) < 0.8)
            c = {30, 40, 60};
    }
    return c;
}

void Put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.bmp\n", argv[0]);
        return 2;
    }
    const uint32_t stride = (kWidth * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * kHeight;
    std::vector<unsigned char> out;
    out.reserve(54 + imageSize);
    // File header.
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    // Info header: bottom-up, 24 bits, no compression, 96 dpi.
    Put32(out, 40);
    Put32(out, kWidth);
    Put32(out, kHeight);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 3780);
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);

    for (int row = kHeight - 1; row >= 0; --row) {
        for (int col = 0; col < kWidth; ++col) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Rgb c = Shade(col + (sx + 0.5) / kSamples, row + (sy + 0.5) / kSamples);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                }
            }
            const double n = kSamples * kSamples;
            auto byte = [n](double v) {
                return static_cast<unsigned char>(std::clamp(std::lround(v / n), 0L, 255L));
            };
            out.push_back(byte(sum.b));
            out.push_back(byte(sum.g));
            out.push_back(byte(sum.r));
        }
        for (uint32_t pad = kWidth * 3; pad < stride; ++pad) out.push_back(0);
    }

    FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: write failed\n", argv[1]);
        return 1;
    }
    return 0;
}
