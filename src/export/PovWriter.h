// The POV-Ray scene text of a model: camera from the view, one texture per layer, the ground
// plane and one mesh of triangles. Written for export and, with the scene settings, for rendering.
#pragma once

#include "model/ByteStream.h"
#include "model/Shape.h"

#include <string_view>

// Export writes a plain scene lit from the eye; Render adds the sun, the sky, the ground text
// and the layers' texture texts.
enum class PovVariant { Export, Render };

// The POV-Ray camera, in POV-Ray coordinates (<x, y, -z> of the display frame).
struct CPovCamera {
    double eye[3] = {};     // E: the view's eye point
    double lookAt[3] = {};  // L: E plus the unit viewing direction
    double angle = 0.0;     // A: horizontal view angle, degrees
};

// The camera of the view as the last frame left it (g_camOffset, g_pitch, g_yaw, g_aspect,
// g_drawFovy), whatever the projection or walk-through mode.
CPovCamera ComputePovCamera();

// Writes the whole scene of `shapes` with the layer table (and, for Render, the scene
// settings and `sun`, a position in POV-Ray coordinates; Export ignores it and it may be null).
// Numbers are written as printf("%f") writes them in the C locale, in any locale.
// Returns false if the sink failed.
bool WritePovScene(CByteSink& sink, const CShapeList& shapes, PovVariant variant, const double sun[3]);

// The export command's name test: the path holds ".pov" or ".POV" anywhere (".Pov" is refused).
bool HasPovExtension(std::string_view path);
