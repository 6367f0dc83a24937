// The POV-Ray camera of the 3D view in each of its modes: the orbit camera in perspective as
// the scene has always placed it, and the walk-through and parallel cameras from the view's
// own camera transform and projection.
#pragma once

// How the scene text states the camera.
enum class PovCameraForm {
    LookAt,   // orbit camera in perspective: location, right, up, look_at, angle
    Vectors,  // every other mode: location, direction, right and up spelled out
};

// The POV-Ray camera, in POV-Ray coordinates (<x, y, -z> of the display frame).
struct CPovCamera {
    PovCameraForm form = PovCameraForm::LookAt;
    bool orthographic = false;  // parallel projection (Vectors form only)
    double eye[3] = {};         // E: the view's eye point
    // LookAt form.
    double lookAt[3] = {};  // L: E plus the unit viewing direction
    double angle = 0.0;     // A: horizontal view angle, degrees
    // Vectors form: the screen's right and up edges and the viewing direction. Perspective:
    // |up| = 1, |right| = the aspect, |direction| = 0.5 / tan(fovy / 2). Parallel: right and up
    // span the picture area in model units, direction is a unit vector.
    double direction[3] = {};
    double right[3] = {};
    double up[3] = {};
};

// The camera of the view as the last frame left it: the camera values (g_camOffset, g_pitch,
// g_yaw, g_walkThrough, g_perspective), the frame's aspect and field of view (g_aspect,
// g_drawFovy) and, in parallel projection, the extent of the frame's projection (g_projection;
// before any parallel frame, the extent the next frame would have).
CPovCamera ComputePovCamera();
