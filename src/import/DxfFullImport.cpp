// The full DXF import's reader: sections, the header variables it uses ($INSUNITS,
// $DWGCODEPAGE, $ACADVER), the LAYER table, block definitions and the entities of model
// space; and the step that applies what was read to the document.
#include "import/DxfFullImport.h"

#include "import/DxfBlocks.h"
#include "import/DxfFullEmitter.h"
#include "import/DxfFullPairs.h"
#include "import/DxfFullPipeline.h"
#include "import/DxfFullRecords.h"
#include "import/DxfPairPipeline.h"
#include "model/LayerTable.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

enum class ESection { None, Header, Tables, Blocks, Entities, Other };

std::string_view TrimEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

EDxfEntity EntityOf(std::string_view name)
{
    struct CName {
        std::string_view name;
        EDxfEntity entity;
    };
    static constexpr CName kNames[] = {
        {"3DFACE", EDxfEntity::Face3D},   {"SOLID", EDxfEntity::Solid},         {"TRACE", EDxfEntity::Trace},
        {"LINE", EDxfEntity::Line},       {"POLYLINE", EDxfEntity::Polyline},   {"VERTEX", EDxfEntity::Vertex},
        {"SEQEND", EDxfEntity::Seqend},   {"LWPOLYLINE", EDxfEntity::LwPolyline}, {"CIRCLE", EDxfEntity::Circle},
        {"ARC", EDxfEntity::Arc},         {"INSERT", EDxfEntity::Insert},       {"ATTRIB", EDxfEntity::Attrib},
        {"MESH", EDxfEntity::Mesh},
    };
    for (const CName& n : kNames)
        if (n.name == name) return n.entity;
    return EDxfEntity::Skipped;
}

class CDxfFullReader {
public:
    CDxfFullReader(CDxfFullModel& model, const CDxfFullOptions& options)
        : m_stats(model.stats), m_emitter(model, options), m_blocks(m_emitter, model.stats)
    {
    }

    CDxfEmitter& Emitter() { return m_emitter; }
    bool SawEof() const { return m_sawEof; }

    void Pair(int code, const CDxfFullValue& value)
    {
        if (code == kDxfBadCode) return;  // counted by the pair reader, read past
        if (code == 0) {
            Complete();
            Begin(TrimEnd(value.text));
            return;
        }
        if (m_record.kind == EDxfEntity::Section) {
            if (code == 2) {
                m_section = SectionOf(TrimEnd(value.text));
                if (m_section == ESection::Entities) m_stats.entitiesFound = true;
                m_record.kind = EDxfEntity::None;
            }
            return;
        }
        if (m_section == ESection::Header) {
            HeaderPair(code, value);
            return;
        }
        if (m_record.kind != EDxfEntity::None && m_record.kind != EDxfEntity::Skipped) m_record.Store(code, value);
    }

    void Finish()
    {
        Complete();
        m_record.Begin(EDxfEntity::None);
        EndPolyline();
        m_blocks.Finish();
        m_emitter.Finish();
    }

private:
    static ESection SectionOf(std::string_view name)
    {
        if (name == "HEADER") return ESection::Header;
        if (name == "TABLES") return ESection::Tables;
        if (name == "BLOCKS") return ESection::Blocks;
        if (name == "ENTITIES") return ESection::Entities;
        return ESection::Other;
    }

    void HeaderPair(int code, const CDxfFullValue& value)
    {
        if (code == 9) {
            m_variable.assign(TrimEnd(value.text));
        } else if (m_variable == "$INSUNITS" && code == 70) {
            m_stats.units = value.Integer();
            m_stats.scale = DxfUnitsScale(m_stats.units);
            m_emitter.SetScale(m_stats.scale);
        } else if (m_variable == "$DWGCODEPAGE" && code == 3) {
            m_stats.codePage.assign(value.text);
            m_emitter.Decoder().SetCodePage(value.text);
        } else if (m_variable == "$ACADVER" && code == 1) {
            m_stats.version.assign(value.text);
            m_emitter.Decoder().SetVersion(value.text);
        }
    }

    // Where the entity being read goes: the block being defined, model space, or nowhere
    // (TABLES, OBJECTS, a BLOCKS section outside a definition).
    CDxfFaceOut* Out()
    {
        if (m_section == ESection::Blocks) return m_blocks.Defining() ? &m_blocks.DefinitionOut() : nullptr;
        if (m_section == ESection::Entities) return &m_blocks.ModelOut();
        return nullptr;
    }

    void Begin(std::string_view name)
    {
        if (name == "EOF") m_sawEof = true;
        if (name == "SECTION" || name == "ENDSEC" || name == "EOF") {
            EndPolyline();
            if (m_blocks.Defining()) m_blocks.EndDefinition();  // a block the file never ended
            m_section = ESection::None;
            m_record.Begin(name == "SECTION" ? EDxfEntity::Section : EDxfEntity::None);
            return;
        }
        EDxfEntity entity = EDxfEntity::None;
        if (m_section == ESection::Tables) {
            if (name == "LAYER") entity = EDxfEntity::LayerEntry;
        } else if (m_section == ESection::Blocks && name == "BLOCK") {
            EndPolyline();
            entity = EDxfEntity::Block;
        } else if (m_section == ESection::Blocks && name == "ENDBLK") {
            EndPolyline();
            m_blocks.EndDefinition();
        } else if (Out()) {
            entity = EntityOf(name);
            // A POLYLINE ends with SEQEND; any other entity ends one that lacks it.
            if (m_polylineOpen && entity != EDxfEntity::Vertex && entity != EDxfEntity::Seqend) EndPolyline();
            if (entity == EDxfEntity::Skipped && m_section == ESection::Entities) CountSkipped(name);
        }
        m_record.Begin(entity);
    }

    void CountSkipped(std::string_view name)
    {
        auto& kinds = m_stats.skippedByKind;
        auto it = kinds.find(std::string(name));
        if (it == kinds.end()) {
            it = kinds.size() < CDxfFullStats::kMaxKinds ? kinds.emplace(name, 0).first
                                                        : kinds.try_emplace(CDxfImportStats::kOtherKinds, 0).first;
        }
        ++it->second;
    }

    CDxfColour Colour(const CDxfEntityRecord& r) const
    {
        return DxfEntityColour(r.aci, r.hasTrueColour, r.trueColour);
    }

    void Complete()
    {
        CDxfEntityRecord& r = m_record;
        const EDxfEntity kind = r.kind;
        if (kind == EDxfEntity::None || kind == EDxfEntity::Skipped || kind == EDxfEntity::Section) return;
        if (kind == EDxfEntity::LayerEntry) {
            m_emitter.DefineTableLayer(r.name2, r.aci, r.hasTrueColour, r.trueColour, r.g70);
            return;
        }
        if (kind == EDxfEntity::Block) {
            m_blocks.BeginDefinition(r.name2, r.point[0]);
            return;
        }
        CDxfFaceOut* out = Out();
        if (!out) return;
        if (kind == EDxfEntity::Vertex) {
            if (m_polylineOpen && !m_polylinePaper) AddVertex(r);
            return;
        }
        if (kind == EDxfEntity::Seqend) {
            EndPolyline();
            return;
        }
        if (kind == EDxfEntity::Attrib) return;
        // Entities of paper space make nothing; in a block, group 67 is not looked at.
        const bool paper = m_section == ESection::Entities && r.paperSpace;
        if (paper) ++m_stats.paperSpace;
        if (kind == EDxfEntity::Polyline) {
            m_polyline.header = r;
            m_polyline.vertices.clear();
            m_polylineOpen = true;
            m_polylinePaper = paper;
            m_polylineOut = out;
            return;
        }
        if (paper) return;
        const std::uint32_t layer = m_emitter.LayerId(r.layer);
        if (kind == EDxfEntity::Insert) {
            CDxfInsert insert;
            insert.block = r.name2;
            insert.layer = layer;
            insert.colour = Colour(r);
            std::copy_n(r.point[0], 3, insert.point);
            insert.scale[0] = r.g41, insert.scale[1] = r.g42, insert.scale[2] = r.g43;
            insert.rotation = r.angle50;
            std::copy_n(r.extrusion, 3, insert.extrusion);
            insert.columns = r.g70, insert.rows = r.g71;
            insert.columnSpacing = r.g44, insert.rowSpacing = r.g45;
            out->Insert(insert);
        } else if (kind == EDxfEntity::Mesh) {
            DxfMeshFaces(r, layer, Colour(r), *out);
        } else {
            DxfEntityFaces(r, layer, Colour(r), *out);
        }
    }

    void AddVertex(const CDxfEntityRecord& r)
    {
        CDxfPolyVertex v;
        std::copy_n(r.point[0], 3, v.p);
        v.bulge = r.g42;
        v.flags = r.g70;
        v.index[0] = r.g71, v.index[1] = r.g72, v.index[2] = r.g73, v.index[3] = r.g74;
        v.ownColour = r.colourGiven;
        if (v.ownColour) v.colour = Colour(r);
        m_polyline.vertices.push_back(v);
    }

    void EndPolyline()
    {
        if (!m_polylineOpen) return;
        m_polylineOpen = false;
        if (m_polylinePaper) return;
        const CDxfEntityRecord& h = m_polyline.header;
        DxfPolylineFaces(m_polyline, m_emitter.LayerId(h.layer), Colour(h), *m_polylineOut);
    }

    CDxfFullStats& m_stats;
    CDxfEmitter m_emitter;
    CDxfBlocks m_blocks;
    ESection m_section = ESection::None;
    std::string m_variable;
    CDxfEntityRecord m_record;
    CDxfPolyline m_polyline;
    bool m_polylineOpen = false;
    bool m_polylinePaper = false;
    CDxfFaceOut* m_polylineOut = nullptr;
    bool m_sawEof = false;
};

// Files from this size on are read with the pair worker when a second core is there: below it
// starting a thread costs more than it saves.
constexpr std::uint64_t kWorkerFromBytes = 4u << 20;

void TakeTextStats(CDxfTextPairs& pairs, CDxfFullStats& stats)
{
    stats.cutLines = pairs.CutLines();
    stats.badCodeLines = pairs.BadCodeLines();
    stats.bytesRead = pairs.Lines().BytesRead();
    stats.readError = pairs.Lines().Error();
}

}  // namespace

CDxfFullModel ReadDxfFull(CByteSource& source, const CDxfFullOptions& options)
{
    CDxfFullModel model;
    CDxfFullStats& stats = model.stats;
    stats.faceLimit = options.faceLimit;
    std::string head(kDxfBinarySentinel.size(), '\0');
    head.resize(source.Read(head.data(), head.size()));
    stats.binaryDxf = head == kDxfBinarySentinel;
    std::string memoryError;
    try {
        CDxfFullReader reader(model, options);
        if (stats.binaryDxf) {
            CDxfBinaryPairs pairs(source);
            pairs.m_progress = options.progress;
            pairs.ForEachPair([&](int code, const CDxfFullValue& value) {
                if (code == 0) reader.Emitter().SetConsumed(pairs.BytesConsumed());
                reader.Pair(code, value);
                return true;
            });
            // A binary file ends with its EOF pair; one that ends before it was cut short.
            stats.binaryTruncated = pairs.Truncated() || !reader.SawEof();
            stats.cutLines = pairs.CutStrings();
            stats.bytesRead = head.size() + pairs.BytesRead();
            stats.readError = pairs.Error();
        } else {
            // A file smaller than the usual 1 MiB block is read in one block just larger than itself.
            constexpr std::size_t kBlock = 1 << 20;
            const std::size_t block = options.sizeHint > 0 && options.sizeHint < kBlock
                                          ? std::max<std::size_t>(4096, std::size_t(options.sizeHint) + 1)
                                          : kBlock;
            CPrefixedSource prefixed(source, head);
            EDxfThreading threading = options.threading;
            if (threading == EDxfThreading::Automatic)
                threading = options.sizeHint >= kWorkerFromBytes && CDxfPairPipeline::CoreIsFree()
                                ? EDxfThreading::Worker
                                : EDxfThreading::CallerOnly;
            std::unique_ptr<CDxfFullPipeline> pipeline;
            if (threading == EDxfThreading::Worker) {
                try {
                    pipeline = std::make_unique<CDxfFullPipeline>(prefixed, block);
                } catch (const std::system_error&) {
                    // No thread to be had: nothing was read yet, so this thread reads it all.
                }
            }
            if (pipeline) {
                while (const CDxfFullBatch* batch = pipeline->Next()) {
                    if (options.progress)
                        for (std::uint64_t bytesRead : batch->progress) options.progress(bytesRead);
                    for (const CDxfFullPair& pair : batch->pairs) {
                        CDxfFullValue value;
                        if (pair.kind == EDxfFullValue::Text) {
                            value.text = std::string_view(batch->text.data() + pair.offset, pair.length);
                        } else {
                            value.typed = true;
                            value.number = pair.number;
                        }
                        if (pair.code == 0) reader.Emitter().SetConsumed(pair.consumed);
                        reader.Pair(pair.code, value);
                    }
                }
                TakeTextStats(pipeline->Pairs(), stats);
            } else {
                CDxfTextPairs pairs(prefixed, block);
                pairs.Lines().m_progress = options.progress;
                pairs.ForEachPair([&](int code, const CDxfFullValue& value) {
                    if (code == 0) reader.Emitter().SetConsumed(pairs.Lines().BytesConsumed());
                    reader.Pair(code, value);
                    return true;
                });
                TakeTextStats(pairs, stats);
            }
        }
        reader.Finish();
    } catch (const std::bad_alloc&) {
        memoryError = "not enough memory for more than " + std::to_string(stats.facesMade) + " faces";
    } catch (const std::length_error&) {
        memoryError = "too many faces for one model (more than " + std::to_string(stats.facesMade) + ")";
    }
    if (!memoryError.empty()) {
        // A part of a model would look complete: nothing is kept.
        CShapeList().swap(model.shapes);
        model.layers.clear();
        stats.facesMade = 0;
        std::fill(std::begin(stats.facesByKind), std::end(stats.facesByKind), 0);
        stats.facesThroughInsert = 0;
        stats.offTable = 0;
        stats.readError = std::move(memoryError);
    }
    return model;
}

void ApplyDxfFull(CDxfFullModel& model, CMyvorla_ltDoc& doc)
{
    CShapeList().swap(doc.m_shapeList);
    doc.m_shapeList.swap(model.shapes);
    g_layerCount = 0;
    for (const CDxfFullLayer& layer : model.layers) {
        AddLayer(layer.name);
        const int index = FindLayer(layer.name);
        if (index >= g_layerCount) continue;
        for (int a = 0; a < 3; ++a) g_layerAttr[index][kRed + a] = layer.rgb[a];
        g_layerAttr[index][kVisible] = layer.visible ? 1.0 : 0.0;
    }
    CShapeList& list = doc.m_shapeList;
    doc.SetModifiedFlag(!list.empty());
    if (list.empty()) return;
    // The scratch record keeps the last face where the drawing has it, as AddShape leaves it.
    doc.m_curShape.CopyAllButReserved(list.back());
    for (auto& corner : doc.m_curShape.m_vertex) {
        corner[0] = static_cast<float>(double(corner[0]) + model.origin[0]);
        corner[2] = static_cast<float>(double(corner[2]) - model.origin[1]);
    }
    const double cx = (model.boxMin[0] + model.boxMax[0]) / 2 - model.origin[0];
    const double cy = (model.boxMin[1] + model.boxMax[1]) / 2 - model.origin[1];
    for (CShape& shape : list)
        for (auto& corner : shape.m_vertex) {
            corner[0] = static_cast<float>(corner[0] - cx);
            corner[2] = static_cast<float>(corner[2] + cy);
        }
}

CDxfFullStats ImportDxfFull(CByteSource& source, CMyvorla_ltDoc& doc, const CDxfFullOptions& options)
{
    CDxfFullModel model = ReadDxfFull(source, options);
    ApplyDxfFull(model, doc);
    return std::move(model.stats);
}

std::uint64_t CountDxfFullFaces(CByteSource& source, const std::function<void(std::uint64_t)>& progress,
                                std::uint64_t sizeHint)
{
    CDxfFullOptions options;
    options.progress = progress;
    options.sizeHint = sizeHint;
    options.countOnly = true;
    return ReadDxfFull(source, options).stats.facesMade;
}
