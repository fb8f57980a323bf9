// Small 3-vector maths for the picture renderer.
#pragma once
#include <cmath>

struct vec3 {
    float x, y, z;
};

inline vec3 v3(float x, float y, float z)
{
    return vec3{x, y, z};
}
inline vec3 v3(float s)
{
    return vec3{s, s, s};
}
inline vec3 operator+(vec3 a, vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vec3 operator-(vec3 a, vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline vec3 operator-(vec3 a)
{
    return {-a.x, -a.y, -a.z};
}
inline vec3 operator*(vec3 a, vec3 b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline vec3 operator*(vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline vec3 operator*(float s, vec3 a)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline vec3 operator/(vec3 a, float s)
{
    return a * (1.0f / s);
}
inline float dot(vec3 a, vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline vec3 cross(vec3 a, vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(vec3 a)
{
    return std::sqrt(dot(a, a));
}
inline vec3 normalize(vec3 a)
{
    return a * (1.0f / std::sqrt(dot(a, a)));
}
inline vec3 mix(vec3 a, vec3 b, float t)
{
    return a + (b - a) * t;
}
inline vec3 reflect(vec3 d, vec3 n)
{
    return d - n * (2.0f * dot(d, n));
}
inline vec3 vexp(vec3 a)
{
    return {std::exp(a.x), std::exp(a.y), std::exp(a.z)};
}

inline float clamp01(float x)
{
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}
inline float mixf(float a, float b, float t)
{
    return a + (b - a) * t;
}
inline float smoothstep(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

// Direction from elevation and azimuth in degrees (azimuth 0 looks down -z, 90 towards +x).
inline vec3 direction_deg(float elevation, float azimuth)
{
    const float k = 3.14159265f / 180.0f;
    float ce = std::cos(elevation * k);
    return {ce * std::sin(azimuth * k), std::sin(elevation * k), -ce * std::cos(azimuth * k)};
}
