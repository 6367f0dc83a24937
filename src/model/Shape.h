// One face of a model: up to four corners with a normal each, a layer name and a selection flag.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class CShape {
public:
    // Every face the program makes carries kind 3; the value is stored but never tested.
    static constexpr int32_t kFace = 3;

    int32_t m_kind = 0;
    int32_t m_selected = 0;    // 1 selected, 0 not
    std::string m_layer;       // layer name, a byte string compared byte for byte
    float m_color[3] = {};     // r, g, b 0..1; stored and copied, never drawn
    float m_reserved[6] = {};  // carried through the model file untouched
    float m_vertex[4][3] = {}; // corners in the display frame (Y up); a triangle repeats corner 3
    float m_normal[4][3] = {};

    const std::string& GetLayer() const { return m_layer; }
    void SetLayer(std::string name) { m_layer = std::move(name); }

    // Takes every member of `other` but the reserved values, which stay this face's own: what
    // adding a face copies from the working record, and what the working record keeps of the
    // last face added.
    void CopyAllButReserved(const CShape& other)
    {
        m_kind = other.m_kind;
        m_selected = other.m_selected;
        m_layer = other.m_layer;
        std::memcpy(m_color, other.m_color, sizeof m_color);
        std::memcpy(m_vertex, other.m_vertex, sizeof m_vertex);
        std::memcpy(m_normal, other.m_normal, sizeof m_normal);
    }

    bool operator==(const CShape&) const = default;
};

// The model: faces in insertion order. Held by value so a million faces stay compact and
// scattered erases (cut) are one compacting pass.
using CShapeList = std::vector<CShape>;
