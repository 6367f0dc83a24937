// The matrix arithmetic of OpenGL's fixed pipeline and GLU, done on doubles without a context:
// the camera builds its matrices with it and picking projects through the last frame's matrices.
// Every matrix is 16 doubles in column-major order, as glGetDoublev returns it.
#pragma once

void SetIdentity(double m[16]);

// out = a · b (out may alias neither a nor b).
void MultiplyMatrices(const double a[16], const double b[16], double out[16]);

// m = m · T(x, y, z), as glTranslate does to the current matrix.
void ApplyTranslate(double m[16], double x, double y, double z);

// m = m · R(angle about the axis), as glRotatef does: angle in degrees (OpenGL's own
// pi/180 conversion), the axis normalised first.
void ApplyRotate(double m[16], float angleDegrees, double axisX, double axisY, double axisZ);

// m = m · the look-at matrix, exactly as gluLookAt builds it (its direction vectors held in
// single precision, as the library holds them). A zero or vertical look direction leaves the
// degenerate matrix the library leaves.
void ApplyLookAt(double m[16], const double eye[3], const double centre[3], const double up[3]);

// m = m · the gluPerspective matrix. Returns false and leaves m alone where the library does
// (zero aspect, zero angle, near equal to far).
bool ApplyPerspective(double m[16], double fovyDegrees, double aspect, double zNear, double zFar);

// m = m · the glOrtho matrix. Returns false and leaves m alone where OpenGL rejects the call
// (left = right, bottom = top, near = far).
bool ApplyOrtho(double m[16], double left, double right, double bottom, double top, double zNear,
                double zFar);

// Inverse of a general 4×4 matrix; false when it is singular.
bool InvertMatrix(const double m[16], double out[16]);

// gluProject: object point to window coordinates (x, y from the viewport's lower left corner,
// z 0 at the near plane and 1 at the far plane). False when the point projects to infinity.
bool ProjectPoint(double objX, double objY, double objZ, const double modelview[16],
                  const double projection[16], const int viewport[4], double window[3]);

// gluUnProject: window coordinates back to an object point. False for a singular matrix, a point
// at infinity or an empty viewport.
bool UnProjectPoint(double winX, double winY, double winZ, const double modelview[16],
                    const double projection[16], const int viewport[4], double object[3]);
