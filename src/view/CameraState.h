// Camera, projection and display-mode state of the one 3D view, and the values each frame
// leaves behind for picking and the POV-Ray writers. Angles in degrees, lengths in model units.
#pragma once

#include <string>

extern float g_camOffset[3];  // orbit: translation after the rotations; walk-through: -eye
extern double g_pitch;        // orbit: rotation about X; walk-through: how far the look points down
extern double g_yaw;          // orbit: rotation about Y; walk-through: heading
extern double g_fovy;         // vertical field of view of the perspective projection
extern double g_orthoScale;   // half-height of the parallel view per unit of camera distance
extern float g_walkDir[3];    // walk-through look direction, recomputed every walk-through frame

extern int g_perspective;  // 1 perspective, 0 parallel
extern int g_shaded;       // 1 shaded faces, 0 wireframe
extern int g_walkThrough;  // 1 walk-through, 0 orbit
extern int g_showGrid;     // 1 ground grid drawn
extern int g_flatNormals;  // 1 new spheres get one normal per face, 0 per-corner normals

// Read back at the end of every frame.
extern double g_winWidth;
extern double g_winHeight;
extern double g_aspect;
extern double g_drawFovy;
extern double g_modelview[16];   // column-major, as OpenGL returns it
extern double g_projection[16];
extern int g_viewport[4];        // x, y, width, height

// Full path of the POV-Ray executable found at start-up, or empty.
extern std::string g_povEnginePath;

inline constexpr float kDefaultCamOffsetZ = -100000.0f;
inline constexpr double kDefaultPitch = 45.0;
inline constexpr double kDefaultYaw = 35.0;
inline constexpr double kDefaultFovy = 30.0;
inline constexpr double kDefaultOrthoScale = 0.263;
inline constexpr double kNearPlane = 500.0;
inline constexpr double kFarPlane = 5000000.0;

// Sets the camera and display defaults of a newly created view.
void SetCameraDefaults();
