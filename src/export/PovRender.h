// Handing a model to POV-Ray: the fixed scene file, its scene text and the engine's options.
#pragma once

#include "model/ByteStream.h"
#include "model/Shape.h"

#include <string>
#include <vector>

// The scene file a render writes in the current folder and POV-Ray reads. Its name in the
// +I option is spelled the same way: on a case-sensitive file system "temp.pov" would be another
// file, and "TEMP.pov" is the name users find on disk after a render.
inline constexpr char kRenderSceneFile[] = "TEMP.pov";

// Where POV-Ray writes the picture of that scene with the options below: its default output
// name follows the scene's, in the same folder (PNG with Debian's settings).
inline constexpr char kRenderPictureFile[] = "TEMP.png";

// The Render variant of the scene, lit by the sun of the current scene settings.
bool WritePovRenderScene(CByteSink& sink, const CShapeList& shapes);

// A window size in pixels as the option wants it: truncated toward zero. NaN and values
// outside the int range, which a real window never has, become 0 or the nearest int.
int TruncatePixels(double size);

// POV-Ray's options for rendering `scene` at a size: +I, +W, +H and +MV3.1, and -D when
// `noDisplay`, as below.
std::vector<std::string> BuildPovOptions(const std::string& scene, double width, double height, bool noDisplay);

// POV-Ray's options for rendering kRenderSceneFile at the view's size (g_winWidth and
// g_winHeight as the last frame left them): +I, +W, +H, then +MV3.1 so POV-Ray 3.7 reads the
// scene as the 3.1 language it is written in (without it 3.7 adds gamma correction and the
// picture comes out too bright), and -D (no preview window) when `noDisplay`. One argument per
// element, for starting the engine without a shell.
std::vector<std::string> BuildPovRenderOptions(double winWidth, double winHeight, bool noDisplay);
