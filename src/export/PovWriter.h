// The POV-Ray scene text of a model: camera from the view, one texture per layer, the ground
// plane and one mesh of triangles. Written for export and, with the scene settings, for rendering.
#pragma once

#include "export/PovCamera.h"
#include "model/ByteStream.h"
#include "model/Shape.h"

#include <cstdint>
#include <string_view>

// Export writes a plain scene lit from the eye; Render adds the sun, the sky, the ground text
// and the layers' texture texts.
enum class PovVariant { Export, Render };

// What a scene holds, for estimating how long POV-Ray takes to read it.
struct CPovSceneStats {
    std::uint64_t triangles = 0;
};

// Writes the whole scene of `shapes` with the layer table (and, for Render, the scene
// settings and `sun`, a position in POV-Ray coordinates; Export ignores it and it may be null),
// seen through the camera of the view (ComputePovCamera). POV-Ray refuses a mesh without a
// triangle of some area, so when no face is shown, or every face shown has none, the scene has
// no mesh and shows sky and ground only. Numbers are written as printf("%f") writes them in the
// C locale, in any locale. Returns false if the sink failed.
bool WritePovScene(CByteSink& sink, const CShapeList& shapes, PovVariant variant, const double sun[3],
                   CPovSceneStats* stats = nullptr);

// The scene of WritePovScene with its mesh in a file of its own, for a series of scenes that
// differ only in their sun: where the mesh would be, the scene holds `#include "meshFile"`
// (when there is a mesh), and WritePovMesh writes the mesh itself once. POV-Ray finds the file
// in its working folder.
bool WritePovSceneUsingMeshFile(CByteSink& sink, const CShapeList& shapes, const double sun[3],
                                std::string_view meshFile);
// The mesh block alone, as WritePovScene writes it; nothing when there is no mesh.
bool WritePovMesh(CByteSink& sink, const CShapeList& shapes, CPovSceneStats* stats = nullptr);

// The export command's name test: the path holds ".pov" or ".POV" anywhere (".Pov" is refused).
bool HasPovExtension(std::string_view path);
