// Numeric constants shared by the camera, the sun and the importers, kept exactly as the
// program has always used them (the degree factor is slightly larger than pi/180).
#pragma once

inline constexpr double kDegToRad = 0.01745329277777778;
inline constexpr double kHalfDegToRad = 0.00872664638888889;
