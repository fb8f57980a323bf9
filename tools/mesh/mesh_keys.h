// Exact-value keys for positions and whole vertices, so equal floats meet in one hash slot.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

struct position_key {
    uint32_t bits[3];
    bool operator==(const position_key& o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

struct vertex_key {
    uint32_t bits[8];
    bool operator==(const vertex_key& o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

// -0 and +0 are the same place
inline uint32_t float_key(float f)
{
    if (f == 0.0f) f = 0.0f;
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

inline position_key make_position_key(const float* p)
{
    return position_key{{float_key(p[0]), float_key(p[1]), float_key(p[2])}};
}

inline vertex_key make_vertex_key(const float* p, const float* n, const float* t)
{
    return vertex_key{{float_key(p[0]), float_key(p[1]), float_key(p[2]), float_key(n[0]), float_key(n[1]),
                       float_key(n[2]), float_key(t[0]), float_key(t[1])}};
}

inline size_t hash_words(const uint32_t* w, int n)
{
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < n; ++i) h = (h ^ w[i]) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
}

struct position_key_hash {
    size_t operator()(const position_key& k) const { return hash_words(k.bits, 3); }
};

struct vertex_key_hash {
    size_t operator()(const vertex_key& k) const { return hash_words(k.bits, 8); }
};
