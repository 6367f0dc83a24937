// Byte snapshots of faces for before-and-after comparisons in tests and fuzz targets: floats
// as their bits, so that NaN equals itself and signed zeros differ.
#pragma once

#include "model/Shape.h"

#include <string>

template <typename T> void AppendBytes(std::string& out, const T& value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

inline void AppendText(std::string& out, const std::string& text)
{
    AppendBytes(out, text.size());
    out += text;
}

// Every member of a face.
inline std::string ShapeBytes(const CShape& shape)
{
    std::string out;
    AppendBytes(out, shape.m_kind);
    AppendBytes(out, shape.m_selected);
    AppendText(out, shape.m_layer);
    AppendBytes(out, shape.m_color);
    AppendBytes(out, shape.m_reserved);
    AppendBytes(out, shape.m_vertex);
    AppendBytes(out, shape.m_normal);
    return out;
}
