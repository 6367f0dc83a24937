// Draws one frame of the model with OpenGL: clear, lighting, camera, grid, move marker,
// outlines and faces, then reads the matrices back for picking and the POV-Ray writers.
// Needs a current compatibility-profile context.
#pragma once

#include "model/Shape.h"
#include "view/SceneBuffers.h"

#include <cstdint>

class CSceneRenderer {
public:
    CSceneRenderer() = default;
    ~CSceneRenderer() = default;
    CSceneRenderer(const CSceneRenderer&) = delete;
    CSceneRenderer& operator=(const CSceneRenderer&) = delete;

    // Create and free the GL objects; call with the context current.
    void Initialize();
    void Release();

    // What changed since the last frame; the next frame rebuilds what it needs.
    void InvalidateGeometry() { m_geometryValid = m_colorsValid = m_indicesValid = false; }
    void InvalidateLayers() { m_colorsValid = m_indicesValid = false; }
    void InvalidateSelection() { m_indicesValid = false; }

    // Draws the frame into the current framebuffer of size w × h pixels.
    void Draw(const CShapeList& shapes, int w, int h);

    // Time spent uploading buffers in the last frame, in milliseconds (for the benchmarks).
    double LastUploadMilliseconds() const { return m_uploadMs; }

private:
    void Upload(const CShapeList& shapes);
    void DrawGrid();
    void DrawLines(unsigned buffer, std::size_t count);
    void DrawTriangles(unsigned buffer, std::size_t count);

    CSceneBuffers m_buffers;
    unsigned m_vertexBuffer = 0;
    enum { kFaces, kSelectedFaces, kWireLines, kWireSelected, kSelectionLines, kIndexBufferCount };
    unsigned m_indexBuffers[kIndexBufferCount] = {};
    std::size_t m_indexCounts[kIndexBufferCount] = {};
    bool m_geometryValid = false, m_colorsValid = false, m_indicesValid = false;
    bool m_wireBuilt = false;
    bool m_initialized = false;
    double m_uploadMs = 0;
};
