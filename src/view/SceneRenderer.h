// Draws one frame of the model with OpenGL: clear, lighting, camera, grid, move marker,
// outlines and faces, then reads the matrices back for picking and the POV-Ray writers.
// Needs a current compatibility-profile context.
#pragma once

#include "model/Shape.h"
#include "view/SceneBuffers.h"

#include <cstdint>
#include <vector>

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
    void InvalidateGeometry()
    {
        m_geometryValid = m_colorsValid = m_indicesValid = m_reducedValid = false;
        m_order.clear();
    }
    void InvalidateLayers() { m_colorsValid = m_indicesValid = m_reducedValid = false; }
    void InvalidateSelection() { m_indicesValid = m_reducedValid = false; }

    // Draws the frame into the current framebuffer of size w × h pixels. With `share` below 1
    // (a frame drawn while the camera moves) each pass draws only its largest faces, about that
    // share of its primitives; the camera, and so the matrices read back, are the whole frame's.
    void Draw(const CShapeList& shapes, int w, int h, double share = 1.0);

    // Time spent uploading buffers in the last frame, in milliseconds (for the benchmarks).
    double LastUploadMilliseconds() const { return m_uploadMs; }
    // Time the last frame took to draw, to its glFinish, without the upload, in milliseconds.
    double LastDrawMilliseconds() const { return m_drawMs; }
    // The share of the primitives the last frame drew: 1 for a whole frame.
    double LastShare() const { return m_drawnShare; }

private:
    enum { kFaces, kSelectedFaces, kWireLines, kWireSelected, kSelectionLines, kIndexBufferCount };

    void Upload(const CShapeList& shapes, bool reduced);
    void UploadLists(CSceneBuffers& lists, const unsigned buffers[], std::size_t counts[]);
    void DrawGrid();
    void DrawLines(unsigned buffer, std::size_t count);
    void DrawTriangles(unsigned buffer, std::size_t count);
    // The index list and count of each pass that a frame of `share` draws, and the share they
    // make of the whole frame's; false when that would be the whole frame anyway.
    bool ChooseReduced(double share, unsigned buffers[kIndexBufferCount], std::size_t counts[kIndexBufferCount],
                       double& drawnShare) const;

    CSceneBuffers m_buffers;
    unsigned m_vertexBuffer = 0;
    unsigned m_indexBuffers[kIndexBufferCount] = {};
    std::size_t m_indexCounts[kIndexBufferCount] = {};
    // The same passes for the largest faces only, each list largest face first.
    unsigned m_reducedBuffers[kIndexBufferCount] = {};
    std::size_t m_reducedCounts[kIndexBufferCount] = {};
    std::vector<uint32_t> m_order;  // faces by decreasing area, built at the first reduced frame
    bool m_geometryValid = false, m_colorsValid = false, m_indicesValid = false, m_reducedValid = false;
    bool m_wireBuilt = false, m_reducedWireBuilt = false;
    bool m_initialized = false;
    double m_uploadMs = 0;
    double m_drawMs = 0;
    double m_drawnShare = 1;
};
