// The camera of the 3D view as matrices: the modelview and projection of a frame, the values a
// frame leaves behind, and the three display-mode toggles. Pure arithmetic on the camera
// globals (view/CameraState.h); the GL view loads these matrices and reads them back.
#pragma once

// The frame's camera transform. Orbit mode: T(g_camOffset) · Rx(g_pitch) · Ry(g_yaw), angles
// passed in single precision as glRotatef takes them. Walk-through mode: first recomputes
// g_walkDir from the angles, then the gluLookAt matrix from the eye −g_camOffset along g_walkDir
// with (0, 1, 0) up.
void ComputeCameraModelview(double modelview[16]);

// Records g_winWidth, g_winHeight, g_aspect (w / h, not finite for h = 0) and g_drawFovy.
void RecordFrameSize(int width, int height);

// The frame's projection for a w × h client area. Perspective: gluPerspective(g_fovy, w / h,
// 500, 5,000,000). Parallel: d = g_orthoScale × element 14 of the current camera transform (the
// camera's distance along its view axis), e = d·w/h, glOrtho(e, −e, d, −d, 500, 5,000,000). The
// identity when OpenGL would refuse the call or the client area is empty (zero width or height,
// or d = 0).
void ComputeProjection(int width, int height, double projection[16]);

// What the draw routine does before drawing, in its order: RecordFrameSize, the camera
// transform, then the projection of that camera.
void SetUpFrame(int width, int height, double projection[16], double modelview[16]);

// A whole frame without a display: SetUpFrame, then stores the matrices and the viewport
// (0, 0, w, h) into g_projection, g_modelview and g_viewport as the read-back would.
void RecordFrame(int width, int height);

// Eye point of the orbit camera in world coordinates, E = −Ry(−yaw) · Rx(−pitch) · g_camOffset.
void GetOrbitEyePoint(double eye[3]);

// The walk-through look direction of the current angles: (sin yaw · cos pitch, −sin pitch,
// −cos yaw · cos pitch). Also the orbit camera's look direction.
void GetLookDirection(double direction[3]);

// Rewrites g_camOffset between the orbit meaning (translation after the rotations) and the
// walk-through meaning (negated eye point) so the picture stays put; each intermediate is
// stored in the single-precision offset.
void ConvertOffsetOrbitToWalk();
void ConvertOffsetWalkToOrbit();

// View-menu toggles; the caller repaints. The walk-through toggle converts the offset.
void ToggleWireframe();     // flips g_shaded
void ToggleParallel();      // flips g_perspective
void ToggleWalkThrough();   // flips g_walkThrough

// Whether the menu shows a check mark beside the toggle.
bool IsWireframeChecked();
bool IsParallelChecked();
bool IsWalkThroughChecked();
