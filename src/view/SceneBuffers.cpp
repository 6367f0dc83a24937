// Building the drawing arrays from the face list and the layer table.
#include "view/SceneBuffers.h"

#include "model/LayerTable.h"

#include <cmath>
#include <cstring>

namespace {

uint8_t ColorByte(double value)
{
    if (!(value > 0.0)) return 0;
    if (value >= 1.0) return 255;
    return static_cast<uint8_t>(std::lround(value * 255.0));
}

void FaceColor(int layer, uint8_t out[4])
{
    double rgb[3];
    GetLayerIndexColor(layer, rgb);
    for (int c = 0; c < 3; ++c) out[c] = ColorByte(rgb[c]);
    out[3] = 255;
}

void AppendOutline(std::vector<uint32_t>& lines, uint32_t base)
{
    const uint32_t edges[8] = {base, base + 1, base + 1, base + 2, base + 2, base + 3, base + 3, base};
    lines.insert(lines.end(), edges, edges + 8);
}

void AppendTriangles(std::vector<uint32_t>& faces, const CShape& shape, uint32_t base)
{
    const uint32_t first[3] = {base, base + 1, base + 2};
    faces.insert(faces.end(), first, first + 3);
    // A triangle repeats its third corner as the fourth; the second half would be empty.
    if (std::memcmp(shape.m_vertex[2], shape.m_vertex[3], sizeof shape.m_vertex[2]) != 0) {
        const uint32_t second[3] = {base, base + 2, base + 3};
        faces.insert(faces.end(), second, second + 3);
    }
}

}  // namespace

void CSceneBuffers::BuildVertices(const CShapeList& shapes)
{
    m_vertices.clear();
    m_vertices.shrink_to_fit();
    m_vertices.resize(shapes.size() * 4);
    WriteVertices(shapes, m_vertices.data());
}

void CSceneBuffers::WriteVertices(const CShapeList& shapes, CSceneVertex* v)
{
    CLayerLookup lookup;
    for (const CShape& shape : shapes) {
        uint8_t color[4];
        FaceColor(lookup.Find(shape.m_layer), color);
        for (int k = 0; k < 4; ++k, ++v) {
            std::memcpy(v->pos, shape.m_vertex[k], sizeof v->pos);
            std::memcpy(v->normal, shape.m_normal[k], sizeof v->normal);
            std::memcpy(v->color, color, sizeof color);
        }
    }
}

void CSceneBuffers::UpdateColors(const CShapeList& shapes)
{
    if (m_vertices.size() != shapes.size() * 4) return BuildVertices(shapes);
    WriteColors(shapes, m_vertices.data());
}

void CSceneBuffers::WriteColors(const CShapeList& shapes, CSceneVertex* v)
{
    CLayerLookup lookup;
    for (const CShape& shape : shapes) {
        uint8_t color[4];
        FaceColor(lookup.Find(shape.m_layer), color);
        for (int k = 0; k < 4; ++k, ++v) std::memcpy(v->color, color, sizeof color);
    }
}

void CSceneBuffers::BuildIndices(const CShapeList& shapes, bool wireframe)
{
    for (auto* list : {&m_faces, &m_selectedFaces, &m_wireLines, &m_wireSelected, &m_selectionLines}) list->clear();
    m_faces.reserve(shapes.size() * 6);
    CLayerLookup lookup;
    uint32_t base = 0;
    for (const CShape& shape : shapes) {
        const bool visible = IsLayerIndexVisible(lookup.Find(shape.m_layer));
        const bool moving = shape.m_selected == 1;
        if (visible) {
            AppendTriangles(moving ? m_selectedFaces : m_faces, shape, base);
            if (wireframe) AppendOutline(moving ? m_wireSelected : m_wireLines, base);
        }
        if (shape.m_selected != 0) AppendOutline(m_selectionLines, base);
        base += 4;
    }
    m_faces.shrink_to_fit();
}

std::vector<uint32_t> CSceneBuffers::OrderBySize(const CShapeList& shapes)
{
    // A counting sort on the top bits of the area's double: its exponent and four bits of its
    // fraction, so faces within a few percent of each other share a bucket and keep their
    // list order. A NaN area goes to the last bucket; an infinite one to the first.
    constexpr int kBuckets = 1 << 15;
    std::vector<uint16_t> keys(shapes.size());
    std::vector<uint32_t> count(kBuckets + 1, 0);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const float(*v)[3] = shapes[i].m_vertex;
        double d1[3], d2[3];
        for (int a = 0; a < 3; ++a) {
            d1[a] = double(v[2][a]) - double(v[0][a]);
            d2[a] = double(v[3][a]) - double(v[1][a]);
        }
        // Half the cross product of the diagonals: the area of a flat quad, and of a triangle
        // whose fourth corner repeats its third. Left doubled and squared; the order is the same.
        const double cx = d1[1] * d2[2] - d1[2] * d2[1];
        const double cy = d1[2] * d2[0] - d1[0] * d2[2];
        const double cz = d1[0] * d2[1] - d1[1] * d2[0];
        const double size = cx * cx + cy * cy + cz * cz;
        uint16_t key = 0;  // the largest bucket first: key 0 holds the biggest sizes
        if (std::isnan(size)) {
            key = kBuckets - 1;
        } else {
            uint64_t bits = 0;
            std::memcpy(&bits, &size, sizeof bits);
            key = static_cast<uint16_t>(kBuckets - 1 - (bits >> 48));  // the sign bit is 0
        }
        keys[i] = key;
        ++count[key + 1];
    }
    for (int b = 0; b < kBuckets; ++b) count[b + 1] += count[b];
    std::vector<uint32_t> order(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) order[count[keys[i]]++] = static_cast<uint32_t>(i);
    return order;
}

void CSceneBuffers::BuildIndicesInOrder(const CShapeList& shapes, const std::vector<uint32_t>& order,
                                        std::size_t limit, bool wireframe)
{
    for (auto* list : {&m_faces, &m_selectedFaces, &m_wireLines, &m_wireSelected, &m_selectionLines}) list->clear();
    // What the passes need of each face, found in one pass in list order: the walk in order of
    // size then reads a byte per face instead of the faces themselves, scattered over the list.
    enum : uint8_t { kVisible = 1, kMoving = 2, kOutlined = 4, kTriangle = 8 };
    std::vector<uint8_t> flags(shapes.size());
    CLayerLookup lookup;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const CShape& shape = shapes[i];
        const bool triangle = std::memcmp(shape.m_vertex[2], shape.m_vertex[3], sizeof shape.m_vertex[2]) == 0;
        flags[i] = static_cast<uint8_t>((IsLayerIndexVisible(lookup.Find(shape.m_layer)) ? kVisible : 0) |
                                        (shape.m_selected == 1 ? kMoving : 0) | (shape.m_selected != 0 ? kOutlined : 0) |
                                        (triangle ? kTriangle : 0));
    }
    std::size_t taken = 0;
    for (std::size_t k = 0; k < order.size() && taken < limit; ++k) {
        const uint32_t face = order[k];
        if (face >= shapes.size() || !(flags[face] & (kVisible | kOutlined))) continue;
        const uint8_t f = flags[face];
        const uint32_t base = 4 * face;
        if (f & kVisible) {
            std::vector<uint32_t>& triangles = (f & kMoving) ? m_selectedFaces : m_faces;
            const uint32_t first[3] = {base, base + 1, base + 2};
            triangles.insert(triangles.end(), first, first + 3);
            if (!(f & kTriangle)) {
                const uint32_t second[3] = {base, base + 2, base + 3};
                triangles.insert(triangles.end(), second, second + 3);
            }
            if (wireframe) AppendOutline((f & kMoving) ? m_wireSelected : m_wireLines, base);
        }
        if (f & kOutlined) AppendOutline(m_selectionLines, base);
        ++taken;
    }
}
