#pragma once

#include <cmath>

struct Vec2 {
    float x { 0 };
    float y { 0 };
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return { a.x + b.x, a.y + b.y }; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return { a.x - b.x, a.y - b.y }; }
inline Vec2 operator*(Vec2 a, float k) { return { a.x * k, a.y * k }; }
inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float Length(Vec2 a) { return std::sqrt(Dot(a, a)); }
inline Vec2 Polar(float radius, float angle) { return { radius * std::cos(angle), radius * std::sin(angle) }; }
inline Vec2 Rotated(Vec2 a, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    return { a.x * c - a.y * s, a.x * s + a.y * c };
}

// Distance from p to the segment a-b.
inline float SegmentDistance(Vec2 p, Vec2 a, Vec2 b)
{
    Vec2 ab = b - a, ap = p - a;
    float len2 = Dot(ab, ab);
    float t = len2 > 0 ? Dot(ap, ab) / len2 : 0.0f;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return Length(ap - ab * t);
}

constexpr float s_pi = 3.14159265358979f;
