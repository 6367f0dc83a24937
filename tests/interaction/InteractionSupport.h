// Faces and frames for the interaction tests.
#pragma once

#include "model/Document.h"
#include "model/LayerTable.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <string>

// Side of the pixel frame: window coordinates equal world x and y, exactly.
inline constexpr int kPixelFrameSize = 256;

// Identity modelview, glOrtho(0, 256, 0, 256, -1, 1), viewport 256 × 256. A corner at world
// (x, y, 0) is hit by a click at client (x, 256 − y).
inline void SetPixelFrame()
{
    SetIdentity(g_modelview);
    SetIdentity(g_projection);
    ApplyOrtho(g_projection, 0, kPixelFrameSize, 0, kPixelFrameSize, -1, 1);
    g_viewport[0] = g_viewport[1] = 0;
    g_viewport[2] = g_viewport[3] = kPixelFrameSize;
}

// Appends a face whose first corner is (x, y, z); the other corners follow it 10 units apart in x.
inline void AddFace(CMyvorla_ltDoc& doc, const std::string& layer, float x, float y, float z,
                    int selected = 0)
{
    doc.m_curShape.m_kind = CShape::kFace;
    doc.m_curShape.m_selected = selected;
    doc.SetCurLayer(layer);
    for (int k = 0; k < 4; ++k) {
        doc.m_curShape.m_vertex[k][0] = x + 10.0f * k;
        doc.m_curShape.m_vertex[k][1] = y;
        doc.m_curShape.m_vertex[k][2] = z;
        doc.m_curShape.m_normal[k][1] = 1.0f;
    }
    doc.AddShape();
    doc.SetModifiedFlag(false);
}

// Two layers: "Shown" (index 0) and "Hidden" (index 1, visible value 0).
inline void AddShownAndHiddenLayers()
{
    AddLayer("Shown");
    AddLayer("Hidden");
    g_layerAttr[1][kVisible] = 0.0;
}
