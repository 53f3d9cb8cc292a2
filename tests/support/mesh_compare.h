// Two meshes compared list by list, so that a failure names the list that differs. Each helper
// checks only the lists it names; a test adds the others its case must keep.
#pragma once

#include <gtest/gtest.h>

#include "io/mesh.h"

namespace meshtest {

// Positions, texture coordinates, and the faces with their corners and materials.
inline void expect_same_faces(const Mesh& got, const Mesh& want) {
    EXPECT_EQ(got.vertices, want.vertices);
    EXPECT_EQ(got.uvs, want.uvs);
    EXPECT_EQ(got.corners, want.corners);
    EXPECT_EQ(got.corner_uvs, want.corner_uvs);
    EXPECT_EQ(got.face_ends, want.face_ends);
    EXPECT_EQ(got.face_materials, want.face_materials);
}

// The material names, each face's group and smoothing group, and the object's name.
inline void expect_same_names(const Mesh& got, const Mesh& want) {
    EXPECT_EQ(got.materials, want.materials);
    EXPECT_EQ(got.face_groups, want.face_groups);
    EXPECT_EQ(got.face_smoothing, want.face_smoothing);
    EXPECT_EQ(got.object_name, want.object_name);
}

} // namespace meshtest
