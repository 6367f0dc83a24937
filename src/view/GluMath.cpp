// Fixed-pipeline and GLU matrix arithmetic on column-major doubles (element [col * 4 + row]).
#include "view/GluMath.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kGlPi = 3.14159265358979323846;  // OpenGL's and GLU's own degree conversion

void MultiplyInPlace(double m[16], const double b[16])
{
    double product[16];
    MultiplyMatrices(m, b, product);
    std::memcpy(m, product, sizeof product);
}

// out = m · in for a 4-vector, summed in the library's order.
void MultiplyVector(const double m[16], const double in[4], double out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = in[0] * m[0 * 4 + i] + in[1] * m[1 * 4 + i] + in[2] * m[2 * 4 + i] + in[3] * m[3 * 4 + i];
}

void NormalizeFloat(float v[3])
{
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void CrossFloat(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void SetIdentity(double m[16])
{
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void MultiplyMatrices(const double a[16], const double b[16], double out[16])
{
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            out[col * 4 + row] = a[0 * 4 + row] * b[col * 4 + 0] + a[1 * 4 + row] * b[col * 4 + 1] +
                                 a[2 * 4 + row] * b[col * 4 + 2] + a[3 * 4 + row] * b[col * 4 + 3];
}

void ApplyTranslate(double m[16], double x, double y, double z)
{
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[0 + row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void ApplyRotate(double m[16], float angleDegrees, double x, double y, double z)
{
    const double radians = double(angleDegrees) * kGlPi / 180.0;
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    double r[16];
    SetIdentity(r);
    // A rotation about a coordinate axis is built directly, as OpenGL implementations do, so
    // the untouched axis stays exactly 1 and 0.
    if (x == 1.0 && y == 0.0 && z == 0.0) {
        r[5] = c, r[6] = s, r[9] = -s, r[10] = c;
    } else if (x == 0.0 && y == 1.0 && z == 0.0) {
        r[0] = c, r[2] = -s, r[8] = s, r[10] = c;
    } else if (x == 0.0 && y == 0.0 && z == 1.0) {
        r[0] = c, r[1] = s, r[4] = -s, r[5] = c;
    } else {
        const double length = std::sqrt(x * x + y * y + z * z);
        if (length == 0.0) return;
        x /= length, y /= length, z /= length;
        const double t = 1.0 - c;
        r[0] = x * x * t + c, r[4] = x * y * t - z * s, r[8] = x * z * t + y * s;
        r[1] = y * x * t + z * s, r[5] = y * y * t + c, r[9] = y * z * t - x * s;
        r[2] = x * z * t - y * s, r[6] = y * z * t + x * s, r[10] = z * z * t + c;
    }
    MultiplyInPlace(m, r);
}

void ApplyLookAt(double m[16], const double eye[3], const double centre[3], const double up[3])
{
    float forward[3], side[3], upward[3];
    for (int i = 0; i < 3; ++i) {
        forward[i] = static_cast<float>(centre[i] - eye[i]);
        upward[i] = static_cast<float>(up[i]);
    }
    NormalizeFloat(forward);
    CrossFloat(forward, upward, side);
    NormalizeFloat(side);
    CrossFloat(side, forward, upward);

    double l[16];
    SetIdentity(l);
    for (int i = 0; i < 3; ++i) {
        l[i * 4 + 0] = side[i];
        l[i * 4 + 1] = upward[i];
        l[i * 4 + 2] = -forward[i];
    }
    MultiplyInPlace(m, l);
    ApplyTranslate(m, -eye[0], -eye[1], -eye[2]);
}

bool ApplyPerspective(double m[16], double fovyDegrees, double aspect, double zNear, double zFar)
{
    const double radians = fovyDegrees / 2 * kGlPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return false;
    const double cotangent = std::cos(radians) / sine;
    double p[16] = {};
    p[0] = cotangent / aspect;
    p[5] = cotangent;
    p[10] = -(zFar + zNear) / deltaZ;
    p[11] = -1;
    p[14] = -2 * zNear * zFar / deltaZ;
    MultiplyInPlace(m, p);
    return true;
}

bool ApplyOrtho(double m[16], double left, double right, double bottom, double top, double zNear,
                double zFar)
{
    if (left == right || bottom == top || zNear == zFar) return false;
    double o[16];
    SetIdentity(o);
    o[0] = 2 / (right - left);
    o[5] = 2 / (top - bottom);
    o[10] = -2 / (zFar - zNear);
    o[12] = -(right + left) / (right - left);
    o[13] = -(top + bottom) / (top - bottom);
    o[14] = -(zFar + zNear) / (zFar - zNear);
    MultiplyInPlace(m, o);
    return true;
}

bool InvertMatrix(const double m[16], double out[16])
{
    // Cofactor expansion.
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
    return true;
}

bool ProjectPoint(double objX, double objY, double objZ, const double modelview[16],
                  const double projection[16], const int viewport[4], double window[3])
{
    const double object[4] = {objX, objY, objZ, 1.0};
    double eye[4], clip[4];
    MultiplyVector(modelview, object, eye);
    MultiplyVector(projection, eye, clip);
    if (clip[3] == 0.0) return false;
    for (int i = 0; i < 3; ++i) clip[i] = clip[i] / clip[3] * 0.5 + 0.5;
    window[0] = clip[0] * viewport[2] + viewport[0];
    window[1] = clip[1] * viewport[3] + viewport[1];
    window[2] = clip[2];
    return true;
}

bool UnProjectPoint(double winX, double winY, double winZ, const double modelview[16],
                    const double projection[16], const int viewport[4], double object[3])
{
    if (viewport[2] == 0 || viewport[3] == 0) return false;
    double combined[16], inverse[16];
    MultiplyMatrices(projection, modelview, combined);
    if (!InvertMatrix(combined, inverse)) return false;
    const double ndc[4] = {(winX - viewport[0]) / viewport[2] * 2 - 1,
                           (winY - viewport[1]) / viewport[3] * 2 - 1, winZ * 2 - 1, 1.0};
    double out[4];
    MultiplyVector(inverse, ndc, out);
    if (out[3] == 0.0) return false;
    for (int i = 0; i < 3; ++i) object[i] = out[i] / out[3];
    return true;
}
