// The model as vertex and index arrays for drawing: four vertices per face with its layer's
// colour, and index lists per drawing pass, rebuilt only when the model, a layer or the
// selection changes; also the same lists for the largest faces only, for frames drawn while
// the camera moves.
#pragma once

#include "model/Shape.h"

#include <cstdint>
#include <vector>

struct CSceneVertex {
    float pos[3];
    float normal[3];
    uint8_t color[4];  // the layer's colour; drawing takes it as the diffuse material
};
static_assert(sizeof(CSceneVertex) == 28);

class CSceneBuffers {
public:
    // Positions, normals and colours of every face (face i uses vertices 4i .. 4i+3).
    void BuildVertices(const CShapeList& shapes);
    // The same into memory the caller provides (4 vertices per face), e.g. a mapped GL buffer.
    static void WriteVertices(const CShapeList& shapes, CSceneVertex* out);
    // Colours only, after a layer's colour changed.
    void UpdateColors(const CShapeList& shapes);
    static void WriteColors(const CShapeList& shapes, CSceneVertex* out);
    // The index lists of the passes, after visibility or selection changed. The line lists of
    // the wireframe pass are built only when `wireframe` is set.
    void BuildIndices(const CShapeList& shapes, bool wireframe);

    // Face numbers from the largest face to the smallest by area, equal areas (to within a few
    // percent) in list order; faces whose area is not a number come last. Linear in the faces.
    static std::vector<uint32_t> OrderBySize(const CShapeList& shapes);
    // The same lists as BuildIndices, but only for the first `limit` faces of `order` that
    // some pass draws, each list in the order of `order`: any leading part of a list is then
    // the largest faces of that pass.
    void BuildIndicesInOrder(const CShapeList& shapes, const std::vector<uint32_t>& order, std::size_t limit,
                             bool wireframe);

    std::vector<CSceneVertex> m_vertices;
    std::vector<uint32_t> m_faces;           // triangles: visible faces not being moved
    std::vector<uint32_t> m_selectedFaces;   // triangles: visible faces with m_selected 1
    std::vector<uint32_t> m_wireLines;       // lines: visible faces with m_selected not 1 (white)
    std::vector<uint32_t> m_wireSelected;    // lines: visible faces with m_selected 1 (magenta)
    std::vector<uint32_t> m_selectionLines;  // lines: every face with m_selected not 0
};
