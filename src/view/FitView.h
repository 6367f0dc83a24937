// Fit to view: where the camera must stand so that the faces on shown layers fill the view,
// keeping its pitch and yaw, in each camera mode; and whether any of them is in view at all.
// Pure arithmetic on the camera globals (view/CameraState.h) and the layer table.
#pragma once

#include "model/Shape.h"

// Share of the view's half-width or half-height that the model fills along its tighter axis
// after a fit; the rest is a margin round the model.
inline constexpr double kFitFill = 0.95;

// Moves the camera (g_camOffset only) so that every corner of every face on a shown layer
// projects inside a width × height view, and the model reaches kFitFill of the view along
// one axis, in the current mode: orbit or walk-through, perspective or parallel. Every corner
// also stays beyond the near plane; a model deeper than the far plane allows is cut there.
// Returns false and changes nothing when no face is shown or the view is empty.
bool FitCameraToShapes(const CShapeList& shapes, int width, int height);

// Whether some face on a shown layer may be seen in a width × height view of the current
// camera: false only when each such face lies wholly beyond one side of the view volume (so
// also false for a model with no shown face, or an empty view).
bool AnyShownFaceInView(const CShapeList& shapes, int width, int height);

// Bounds of the corners of the faces on shown layers; false when no face is shown.
bool GetShownBounds(const CShapeList& shapes, double min[3], double max[3]);

// Whether any part of the box min..max may be seen in a width × height view of the current
// camera (the same test as AnyShownFaceInView, on the box's eight corners).
bool IsBoxInView(const double min[3], const double max[3], int width, int height);
