#pragma once

#include <algorithm>
#include <climits>

// Sums, differences and products of coordinates that may come from untrusted data (a skin's
// rectangles and offsets hold any value an int can) saturate at the ends of the int range instead of
// overflowing: a rectangle built from them lies far away or is empty, but never wraps around.
constexpr int Saturated(long long value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
constexpr int SatAdd(int a, int b) { return Saturated(static_cast<long long>(a) + b); }
constexpr int SatSub(int a, int b) { return Saturated(static_cast<long long>(a) - b); }
constexpr int SatMul(int a, int b) { return Saturated(static_cast<long long>(a) * b); }

// Points, sizes and rectangles in pixels. Rectangles are left, top, right, bottom with right and
// bottom exclusive, as the window system writes them. Building, measuring and moving a rectangle
// saturates (see above).
struct Point {
    int x { 0 };
    int y { 0 };
    friend bool operator==(Point, Point) = default;
};

struct Size {
    int width { 0 };
    int height { 0 };
    friend bool operator==(Size, Size) = default;
};

struct Rect {
    int left { 0 };
    int top { 0 };
    int right { 0 };
    int bottom { 0 };

    static constexpr Rect FromSize(int left, int top, int width, int height)
    {
        return { left, top, SatAdd(left, width), SatAdd(top, height) };
    }

    constexpr int Width() const { return SatSub(right, left); }
    constexpr int Height() const { return SatSub(bottom, top); }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr Point TopLeft() const { return { left, top }; }

    constexpr Rect Translated(int dx, int dy) const
    {
        return { SatAdd(left, dx), SatAdd(top, dy), SatAdd(right, dx), SatAdd(bottom, dy) };
    }
    constexpr Rect Intersected(Rect other) const
    {
        return { std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom) };
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    constexpr Rect United(Rect other) const
    {
        if (IsEmpty())
            return other;
        if (other.IsEmpty())
            return *this;
        return { std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom) };
    }
    friend bool operator==(Rect, Rect) = default;
};
