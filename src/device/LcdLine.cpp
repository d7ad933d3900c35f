// Lines in pixel coordinates (y bottom-up). Both primitives keep the device's
// 16-bit arithmetic: every stored intermediate is narrowed on purpose, so that
// the pixels drawn are exactly the instrument's.
#include "device/Lcd.h"

namespace {

int16_t Sign(int16_t v) {
    return static_cast<int16_t>((v > 0) - (v < 0));
}
int16_t Abs(int16_t v) {
    return static_cast<int16_t>(v < 0 ? -v : v);
}

// A clip parameter as an exact fraction; den is kept positive.
struct TRatio {
    int16_t num;
    int16_t den;
};

// a * r.den < r.num * b in 32 bits (r.den > 0): a/b < r when b > 0, and
// a/b > r when b < 0, the sense reversed by the negative factor.
bool Less(int16_t a, int16_t b, TRatio r) {
    return int32_t{a} * r.den < int32_t{r.num} * b;
}

// Narrows one edge of the parameter interval [t0, t1] with the edge's pair
// (p, q). Returns false when the line lies wholly beyond that edge.
bool ClipEdge(int16_t p, int16_t q, TRatio& t0, TRatio& t1) {
    if (p < 0) {
        if (Less(q, p, t1)) return false;
        if (Less(q, p, t0)) t0 = {static_cast<int16_t>(-q), static_cast<int16_t>(-p)};
    } else if (p > 0) {
        if (Less(q, p, t0)) return false;
        if (Less(q, p, t1)) t1 = {q, p};
    } else if (q < 0) {
        return false;
    }
    return true;
}

// origin + delta * t, truncating toward zero.
int16_t Along(int16_t origin, int16_t delta, TRatio t) {
    return static_cast<int16_t>(origin + int32_t{delta} * t.num / t.den);
}

} // namespace

void LcdLine(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t mode) {
    if (x0 == x1 && y0 == y1) {
        LcdSetPixel(x0, y0, mode);
        return;
    }
    const auto dx = static_cast<int16_t>(x1 - x0);
    const auto dy = static_cast<int16_t>(y1 - y0);
    const int16_t sx = Sign(dx);
    const int16_t sy = Sign(dy);
    const int16_t ax = Abs(dx);
    const int16_t ay = Abs(dy);
    const bool steep = ax < ay; // a 45-degree line steps x as its major axis
    const int16_t longSide = steep ? ay : ax;
    const int16_t shortSide = steep ? ax : ay;
    auto e = static_cast<int16_t>(2 * shortSide - longSide);
    int16_t x = x0;
    int16_t y = y0;
    for (int step = 0; step <= longSide; ++step) {
        LcdSetPixel(x, y, mode);
        while (e >= 0) {
            if (steep) {
                x = static_cast<int16_t>(x + sx);
            } else {
                y = static_cast<int16_t>(y + sy);
            }
            e = static_cast<int16_t>(e - 2 * longSide);
        }
        if (steep) {
            y = static_cast<int16_t>(y + sy);
        } else {
            x = static_cast<int16_t>(x + sx);
        }
        e = static_cast<int16_t>(e + 2 * shortSide);
    }
}

void LcdClippedLine(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t mode, const TLcdRect& clip) {
    TRatio t0{0, 1}; // entry
    TRatio t1{1, 1}; // exit
    const auto dx = static_cast<int16_t>(x1 - x0);
    const auto dy = static_cast<int16_t>(y1 - y0);
    const auto neg = [](int16_t v) { return static_cast<int16_t>(-v); };
    const auto diff = [](int16_t a, int16_t b) { return static_cast<int16_t>(a - b); };
    if (!ClipEdge(neg(dx), diff(x0, clip.xmin), t0, t1)) return;
    if (!ClipEdge(dx, diff(clip.xmax, x0), t0, t1)) return;
    if (!ClipEdge(neg(dy), diff(y0, clip.ymin), t0, t1)) return;
    if (!ClipEdge(dy, diff(clip.ymax, y0), t0, t1)) return;
    // The exit point is computed first, from the end points as passed in.
    if (t1.num < t1.den) {
        x1 = Along(x0, dx, t1);
        y1 = Along(y0, dy, t1);
    }
    if (t0.num > 0) {
        x0 = Along(x0, dx, t0);
        y0 = Along(y0, dy, t0);
    }
    LcdLine(x0, y0, x1, y1, mode);
}
