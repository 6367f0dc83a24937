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
