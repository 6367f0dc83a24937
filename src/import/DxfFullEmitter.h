// The end of the full DXF import where faces are made: the drawing's layers (names decoded,
// colours and visibility from its LAYER table), the units' scale, the checks every face
// passes, and the face list and layer list of the result.
#pragma once

#include "import/DxfCodePage.h"
#include "import/DxfFullRecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CDxfEmitter {
public:
    CDxfEmitter(CDxfFullModel& model, const CDxfFullOptions& options);

    // The id of a layer by its name as written; the name is decoded when first met.
    std::uint32_t LayerId(std::string_view raw);
    std::uint32_t ZeroLayer() const { return m_zeroLayer; }
    // A LAYER table entry: colour number (negative: the layer is off), true colour, flags
    // (bit 1: frozen).
    void DefineTableLayer(std::string_view raw, int aci, bool hasTrueColour, std::int32_t trueColour, int flags);
    // The colour ByLayer gives on this layer.
    const float* LayerColour(std::uint32_t layer) const { return m_layers[layer].rgb; }

    CDxfNameDecoder& Decoder() { return m_decoder; }
    void SetScale(double scale) { m_scale = scale; }
    // Bytes of the source read up to the entity being completed: lets the face list grow in
    // one step to the size the faces made so far project.
    void SetConsumed(std::uint64_t consumed) { m_consumed = consumed; }

    // Makes one face of world corners (DXF coordinates, drawing units) on a layer in a colour:
    // scaled to millimetres, then dropped and counted when a corner is out of range, when it
    // has no area or when the face limit is reached; otherwise kept.
    void Emit(const double corners[4][3], ENormalRule rule, EDxfFaceKind kind, std::uint32_t layer, const float rgb[3],
              bool throughInsert);
    // The face limit is reached: arrays and nesting stop.
    bool AtLimit() const { return m_stats.facesMade >= m_limit; }
    std::uint64_t Limit() const { return m_limit; }

    // The layers met, in order, into the model; what the face list reserved beyond its need
    // given back.
    void Finish();

private:
    struct CLayer {
        std::string key;   // the name as written, upper-cased: the LAYER table's names match it
        std::string name;  // UTF-8
        float rgb[3] = {1, 1, 1};
        double exact[3] = {1, 1, 1};  // the colour for the layer table
        bool visible = true;
        int listIndex = -1;  // position in the layer list; -1 not met yet, -2 past the 99th
    };
    struct CTableLayer {
        std::uint32_t rgb = 0xFFFFFF;
        bool visible = true;
    };
    void TakeTableEntry(CLayer& layer) const;
    int ListIndex(std::uint32_t layer);
    void Grow();
    void PrepareAhead();

    CDxfFullModel& m_model;
    CDxfFullStats& m_stats;
    const std::uint64_t m_sizeHint;
    const bool m_countOnly;
    const std::uint64_t m_limit;
    std::uint64_t m_consumed = 0;
    bool m_projected = false;
    std::size_t m_preparedTo = 0;  // faces of the list's capacity whose pages are there
    bool m_haveOrigin = false;
    double m_scale = 1.0;
    CDxfNameDecoder m_decoder;

    std::vector<CLayer> m_layers;
    std::unordered_map<std::string, std::uint32_t> m_ids;  // name as written -> id
    std::string m_lastRaw;
    std::uint32_t m_lastId = 0;
    bool m_lastValid = false;
    std::uint32_t m_zeroLayer = 0;
    std::unordered_map<std::string, CTableLayer> m_table;  // upper-cased name -> entry
    std::unordered_map<std::string, int> m_listByName;     // UTF-8 name -> list position
    std::vector<std::uint32_t> m_listLayers;               // list position -> layer id
    std::uint32_t m_lastEmitLayer = ~0u;
    int m_lastEmitIndex = -1;
};
