// Builds the application's convex data block for a closed triangle mesh, as
// a game would: face planes, vertices, and the face, vertex and edge records
// with the byte lists they point to.
#pragma once

#include "physics/convex.h"

#include <array>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

class ConvexBlock {
public:
    // Triangles in any winding: each is turned to face away from the centre
    // of the vertices.
    ConvexBlock(const std::vector<neV3>& vertices, std::vector<std::array<int, 3>> triangles) {
        neV3 centre = neMakeV3(0, 0, 0);
        for (const neV3& v : vertices) centre += v;
        centre *= 1.0f / static_cast<f32>(vertices.size());
        for (auto& t : triangles) {
            neV3 n = (vertices[t[1]] - vertices[t[0]]).Cross(vertices[t[2]] - vertices[t[0]]);
            if (n.Dot(vertices[t[0]] - centre) < 0) std::swap(t[1], t[2]);
        }
        const int f = static_cast<int>(triangles.size()), v = static_cast<int>(vertices.size());

        std::map<std::pair<int, int>, int> edgeOf;
        std::vector<neConvexEdgeRecord> edges;
        std::vector<std::array<int, 3>> faceEdges(f);
        for (int i = 0; i < f; ++i) {
            for (int k = 0; k < 3; ++k) {
                int a = triangles[i][k], b = triangles[i][(k + 1) % 3];
                auto key = std::make_pair(std::min(a, b), std::max(a, b));
                auto it = edgeOf.find(key);
                if (it == edgeOf.end()) {
                    edgeOf[key] = static_cast<int>(edges.size());
                    faceEdges[i][k] = static_cast<int>(edges.size());
                    edges.push_back(neConvexEdgeRecord{{static_cast<u8>(i), 0}, {static_cast<u8>(a), static_cast<u8>(b)}});
                } else {
                    faceEdges[i][k] = it->second;
                    edges[it->second].face[1] = static_cast<u8>(i);
                }
            }
        }
        std::vector<std::vector<u8>> vertexEdges(v);
        for (size_t e = 0; e < edges.size(); ++e)
            for (int end = 0; end < 2; ++end) vertexEdges[edges[e].vertex[end]].push_back(static_cast<u8>(e));

        // The byte lists: per face neighbours, vertices, edges; per vertex its edges.
        lists_.assign(static_cast<size_t>(f) * 9 + static_cast<size_t>(v) * 256, 0);
        u8* cursor = lists_.data();
        std::vector<neConvexFaceRecord> faceRecords(f);
        for (int i = 0; i < f; ++i) {
            u8* nb = cursor;
            u8* vx = cursor + 3;
            u8* ed = cursor + 6;
            cursor += 9;
            for (int k = 0; k < 3; ++k) {
                const neConvexEdgeRecord& e = edges[faceEdges[i][k]];
                nb[k] = e.face[0] == i ? e.face[1] : e.face[0];
                vx[k] = static_cast<u8>(triangles[i][k]);
                ed[k] = static_cast<u8>(faceEdges[i][k]);
            }
            faceRecords[i] = neConvexFaceRecord{nb, vx, ed};
        }
        std::vector<neConvexVertexRecord> vertexRecords(v);
        for (int i = 0; i < v; ++i) {
            vertexRecords[i].edges = cursor;
            for (u8 e : vertexEdges[i]) *cursor++ = e;
            *cursor++ = NE_CONVEX_LIST_END;
        }

        neConvexBlockLayout layout(f, v);
        size_t bytes = layout.edgeRecords + sizeof(neConvexEdgeRecord) * edges.size();
        storage_.assign(bytes / sizeof(neV3) + 1, neMakeV3(0, 0, 0));
        u8* block = reinterpret_cast<u8*>(storage_.data());
        neConvexHeader header{f, v, {0, 0}};
        std::memcpy(block, &header, sizeof header);
        for (int i = 0; i < f; ++i) {
            const auto& t = triangles[i];
            neV3 n = (vertices[t[1]] - vertices[t[0]]).Cross(vertices[t[2]] - vertices[t[0]]);
            n.Normalize();
            n.w = n.Dot(vertices[t[0]]);
            std::memcpy(block + layout.facePlanes + sizeof(neV3) * i, &n, sizeof n);
        }
        std::memcpy(block + layout.vertices, vertices.data(), sizeof(neV3) * vertices.size());
        std::memcpy(block + layout.faceRecords, faceRecords.data(), sizeof(neConvexFaceRecord) * faceRecords.size());
        std::memcpy(block + layout.vertexRecords, vertexRecords.data(),
                    sizeof(neConvexVertexRecord) * vertexRecords.size());
        std::memcpy(block + layout.edgeRecords, edges.data(), sizeof(neConvexEdgeRecord) * edges.size());
        edgeCount_ = static_cast<int>(edges.size());
    }

    // The block points into its own lists: it moves but never copies.
    ConvexBlock(ConvexBlock&&) = default;
    ConvexBlock(const ConvexBlock&) = delete;
    ConvexBlock& operator=(const ConvexBlock&) = delete;

    const u8* Data() const { return reinterpret_cast<const u8*>(storage_.data()); }
    u8* MutableData() { return reinterpret_cast<u8*>(storage_.data()); }
    int EdgeCount() const { return edgeCount_; }

    // A box of the given half extents, two triangles per side.
    static ConvexBlock Cuboid(f32 hx, f32 hy, f32 hz) {
        std::vector<neV3> v(8);
        for (int i = 0; i < 8; ++i)
            v[i] = neMakeV3((i & 4) ? hx : -hx, (i & 2) ? hy : -hy, (i & 1) ? hz : -hz);
        const int quads[6][4] = {{4, 5, 7, 6}, {0, 1, 3, 2}, {2, 3, 7, 6}, {0, 1, 5, 4}, {1, 3, 7, 5}, {0, 2, 6, 4}};
        std::vector<std::array<int, 3>> t;
        for (const auto& q : quads) {
            t.push_back({q[0], q[1], q[2]});
            t.push_back({q[0], q[2], q[3]});
        }
        return ConvexBlock(v, t);
    }

    // A regular octahedron of the given radius.
    static ConvexBlock Octahedron(f32 r) {
        std::vector<neV3> v = {neMakeV3(r, 0, 0),  neMakeV3(-r, 0, 0), neMakeV3(0, r, 0),
                               neMakeV3(0, -r, 0), neMakeV3(0, 0, r),  neMakeV3(0, 0, -r)};
        std::vector<std::array<int, 3>> t;
        for (int x : {0, 1})
            for (int y : {2, 3})
                for (int z : {4, 5}) t.push_back({x, y, z});
        return ConvexBlock(v, t);
    }

private:
    std::vector<neV3> storage_;  // 16-byte aligned block
    std::vector<u8> lists_;
    int edgeCount_ = 0;
};
