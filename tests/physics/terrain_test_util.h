// A heightfield terrain for the engine's tests.
#pragma once

#include "physics/geometry.h"

#include <cmath>
#include <functional>
#include <vector>

// The height of flat ground at 0.
inline f32 FlatHeight(f32, f32) { return 0.0f; }

struct TestTerrain {
    std::vector<neV3> vertices;
    std::vector<neTriangle> triangles;

    // cells × cells squares of side `cell`, centred on the origin, two
    // triangles each of the given material, wound counter-clockwise seen from
    // above.
    TestTerrain(int cells, f32 cell, const std::function<f32(f32, f32)>& height, s32 material = 0) {
        const f32 half = cells * cell * 0.5f;
        for (int j = 0; j <= cells; ++j)
            for (int i = 0; i <= cells; ++i) {
                f32 x = i * cell - half, z = j * cell - half;
                vertices.push_back(neV3{x, height(x, z), z, 0.0f});
            }
        auto at = [cells](int i, int j) { return j * (cells + 1) + i; };
        for (int j = 0; j < cells; ++j)
            for (int i = 0; i < cells; ++i) {
                neTriangle a, b;
                a.indices[0] = at(i, j);
                a.indices[1] = at(i, j + 1);
                a.indices[2] = at(i + 1, j);
                b.indices[0] = at(i + 1, j);
                b.indices[1] = at(i, j + 1);
                b.indices[2] = at(i + 1, j + 1);
                a.materialIndex = material;
                b.materialIndex = material;
                triangles.push_back(a);
                triangles.push_back(b);
            }
    }
    neTriangleMesh Mesh() {
        return neTriangleMesh{vertices.data(), static_cast<s32>(vertices.size()), triangles.data(),
                              static_cast<s32>(triangles.size())};
    }
};

// Loose triangles, each with three vertices of its own; every triangle is a
// candidate of the terrain geometry built over them.
struct TriangleSoup {
    std::vector<neV3> vertices;
    std::vector<neTriangle> triangles;
    std::vector<s32> indices;

    // Gives the new triangle's index.
    s32 Add(const neV3& a, const neV3& b, const neV3& c, s32 material = 0, u32 flags = 0, u32 userData = 0) {
        const s32 base = static_cast<s32>(vertices.size());
        vertices.push_back(a);
        vertices.push_back(b);
        vertices.push_back(c);
        neTriangle t;
        t.indices[0] = base;
        t.indices[1] = base + 1;
        t.indices[2] = base + 2;
        t.materialIndex = material;
        t.flags = flags;
        t.userData = userData;
        triangles.push_back(t);
        indices.push_back(static_cast<s32>(triangles.size()) - 1);
        return indices.back();
    }
};
