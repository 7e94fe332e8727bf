// Three-component single-precision vectors for normals, light positions and
// light directions.
#pragma once

#include <cmath>

namespace lumeshade {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    float GetMag() const { return std::sqrt(x * x + y * y + z * z); }

    // Scales by one reciprocal of the magnitude (one division, three
    // multiplications). A zero vector yields non-finite components; callers
    // that keep the result as a unit normal use CheckedNormalize.
    void Normalize() {
        const float inv = 1.0f / GetMag();
        x *= inv;
        y *= inv;
        z *= inv;
    }
};

inline Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator*(Vector3 v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline Vector3& operator+=(Vector3& a, Vector3 b) { return a = a + b; }

inline Vector3 Cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Normalises a vector that is to be kept as a unit normal. A zero-length
// vector here is a programming error: the failed check is reported with its
// text, the module and the line, and the process stops.
Vector3 CheckedNormalize(Vector3 norm);

}  // namespace lumeshade
