// Value types of the transform math. Plain single-precision records with fixed layouts.
#pragma once

#include <cstddef>

struct Vector2 {
    float x, y;
};

struct Vector3 {
    float x, y, z;
};

struct Vector4 {
    float x, y, z, w;
};

// (x, y, z) is the vector part, w the scalar part; never normalised behind the caller's back.
struct Quaternion {
    float x, y, z, w;
};

// Row-major; points are row vectors multiplied on the left, so in a * b, a acts first.
struct Matrix4 {
    float m[4][4];
};

// The plane a*x + b*y + c*z + d = 0.
struct Plane {
    float a, b, c, d;
};

// A viewport for projecting to and from window coordinates.
struct Viewport {
    unsigned x, y, width, height;
    float min_z, max_z;
};

static_assert(sizeof(Vector3) == 12 && offsetof(Vector3, z) == 8, "Vector3 is three packed floats");
static_assert(sizeof(Quaternion) == 16 && offsetof(Quaternion, w) == 12,
              "Quaternion is x, y, z, w");
static_assert(sizeof(Matrix4) == 64, "Matrix4 is sixteen packed floats");
static_assert(offsetof(Matrix4, m[1][0]) == 16, "Matrix4 is row-major");
static_assert(sizeof(Vector2) == 8 && sizeof(Vector4) == 16 && sizeof(Plane) == 16, "packed");
