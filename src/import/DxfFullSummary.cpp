// What a full DXF import reports: the kinds of faces, the units, what was left out and why;
// and whether a default import's statistics make counting the full import's faces worthwhile.
#include "import/DxfFullImport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <vector>

const char* DxfFaceKindName(EDxfFaceKind kind)
{
    static const char* const kNames[kDxfFaceKinds] = {"3DFACE",     "SOLID",    "TRACE",    "LINE",
                                                      "polyface mesh", "polygon mesh", "MESH", "LWPOLYLINE",
                                                      "POLYLINE",   "CIRCLE",   "ARC"};
    return kNames[std::min(int(kind), kDxfFaceKinds - 1)];
}

void CDxfLeftOut::Add(const CDxfLeftOut& other)
{
    for (int k = 0; k < kDxfFaceKinds; ++k) withoutThickness[k] += other.withoutThickness[k];
    badExtrusion += other.badExtrusion;
    polyfaceBadIndex += other.polyfaceBadIndex;
    polyfaceFewCorners += other.polyfaceFewCorners;
    meshBadFaces += other.meshBadFaces;
    gridsShort += other.gridsShort;
    polylines3D += other.polylines3D;
}

std::uint64_t CDxfLeftOut::Total() const
{
    std::uint64_t total = badExtrusion + polyfaceBadIndex + polyfaceFewCorners + meshBadFaces + gridsShort + polylines3D;
    for (std::uint64_t n : withoutThickness) total += n;
    return total;
}

namespace {

struct CUnit {
    const char* name;
    double millimetres;
};

// $INSUNITS values as the DXF reference lists them.
constexpr std::array<CUnit, 25> kUnits = {{
    {"", 1.0},
    {"inches", 25.4},
    {"feet", 304.8},
    {"miles", 1609344.0},
    {"millimetres", 1.0},
    {"centimetres", 10.0},
    {"metres", 1000.0},
    {"kilometres", 1e6},
    {"microinches", 2.54e-5},
    {"mils", 0.0254},
    {"yards", 914.4},
    {"angstroms", 1e-7},
    {"nanometres", 1e-6},
    {"microns", 1e-3},
    {"decimetres", 100.0},
    {"decametres", 1e4},
    {"hectometres", 1e5},
    {"gigametres", 1e12},
    {"astronomical units", 1.495978707e14},
    {"light years", 9.4607304725808e18},
    {"parsecs", 3.0856775814913673e19},
    {"US survey feet", 1200.0 / 3937.0 * 1000.0},
    {"US survey inches", 100.0 / 3937.0 * 1000.0},
    {"US survey yards", 3600.0 / 3937.0 * 1000.0},
    {"US survey miles", 6336000.0 / 3937.0 * 1000.0},
}};

std::string Count(std::uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// An entity name as a short printable text: the names come from the file and may be anything.
std::string Printable(std::string_view name)
{
    constexpr std::size_t kLongest = 32;
    std::string out;
    for (unsigned char c : name.substr(0, kLongest)) out += (c < 0x20 || c == 0x7F) ? '?' : char(c);
    if (name.size() > kLongest) out += "...";
    return out;
}

// The shortest text that reads back as the value, whatever the locale.
std::string NumberText(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

const char* DxfUnitsName(int units)
{
    return units >= 1 && units < int(kUnits.size()) ? kUnits[std::size_t(units)].name : "";
}

double DxfUnitsScale(int units)
{
    return units >= 1 && units < int(kUnits.size()) ? kUnits[std::size_t(units)].millimetres : 1.0;
}

bool DxfFullImportMayAddFaces(const CDxfImportStats& stats)
{
    if (stats.binaryDxf || stats.facesDroppedFirstEdge > 0 || stats.longLines > 0 || stats.wideCodeLines > 0)
        return true;
    static constexpr std::string_view kHolders[] = {"POLYLINE", "LWPOLYLINE", "MESH", "INSERT",
                                                    "CIRCLE",   "ARC",        "TRACE", CDxfImportStats::kOtherKinds};
    for (const auto& [kind, count] : stats.skippedByKind)
        if (std::find(std::begin(kHolders), std::end(kHolders), kind) != std::end(kHolders)) return true;
    return false;
}

std::string DxfFullImportSummary(const CDxfFullStats& stats, int layerCount)
{
    std::string text;
    if (stats.facesMade == 0) {
        text = "no faces imported";
        if (!stats.entitiesFound) text += ": the file has no ENTITIES section";
    } else {
        text = "imported " + Count(stats.facesMade, "face", "faces") + " on " +
               Count(std::uint64_t(std::max(layerCount, 0)), "layer", "layers") + " (";
        bool first = true;
        for (int k = 0; k < kDxfFaceKinds; ++k) {
            if (stats.facesByKind[k] == 0) continue;
            text += std::string(first ? "" : ", ") + DxfFaceKindName(EDxfFaceKind(k)) + " " +
                    std::to_string(stats.facesByKind[k]);
            first = false;
        }
        if (stats.facesThroughInsert > 0)
            text += "; " + std::to_string(stats.facesThroughInsert) + " of them through INSERT";
        text += ")";
    }
    if (stats.scale != 1.0)
        text += "; units: " + std::string(DxfUnitsName(stats.units)) + ", scaled by " + NumberText(stats.scale) +
                " to millimetres";

    std::vector<std::string> out;
    auto note = [&](std::uint64_t n, const char* one, const char* many) {
        if (n > 0) out.push_back(Count(n, one, many));
    };
    note(stats.degenerate, "face of no area", "faces of no area");
    for (int k = 0; k < kDxfFaceKinds; ++k) {
        const std::uint64_t n = stats.leftOut.withoutThickness[k];
        if (n > 0) out.push_back(std::to_string(n) + " " + DxfFaceKindName(EDxfFaceKind(k)) + " without thickness");
    }
    const CDxfLeftOut& l = stats.leftOut;
    note(l.badExtrusion, "entity with an unusable extrusion", "entities with an unusable extrusion");
    note(l.polyfaceBadIndex, "polyface face with a vertex index past its mesh",
         "polyface faces with a vertex index past their mesh");
    note(l.polyfaceFewCorners, "polyface face record with fewer than 3 vertices",
         "polyface face records with fewer than 3 vertices");
    note(l.meshBadFaces, "MESH face with a bad vertex list", "MESH faces with a bad vertex list");
    note(l.gridsShort, "polygon mesh with fewer vertices than M x N", "polygon meshes with fewer vertices than M x N");
    note(l.polylines3D, "3D polyline (lines only)", "3D polylines (lines only)");
    note(stats.paperSpace, "entity of paper space", "entities of paper space");
    note(stats.outOfRange, "face with a coordinate that is not a number or lies beyond +-3.4e38",
         "faces with a coordinate that is not a number or lies beyond +-3.4e38");
    note(stats.offTable, "face on layers past the 99th, which the layer table cannot hold",
         "faces on layers past the 99th, which the layer table cannot hold");
    if (!out.empty()) {
        text += "; left out:";
        for (std::size_t i = 0; i < out.size(); ++i) text += (i ? ", " : " ") + out[i];
    }

    out.clear();
    note(stats.missingBlocks, "INSERT of a block the file does not define", "INSERTs of blocks the file does not define");
    note(stats.selfInserts, "INSERT of a block into itself, not followed", "INSERTs of blocks into themselves, not followed");
    note(stats.badArrays, "INSERT with a row or column count below 1", "INSERTs with a row or column count below 1");
    note(stats.tooDeep, "INSERT nested deeper than 1000 levels", "INSERTs nested deeper than 1000 levels");
    if (stats.insertsOverLimit > 0 || stats.facesOverLimit > 0)
        out.push_back("stopped at " + std::to_string(stats.faceLimit) + " faces: " +
                      Count(stats.insertsOverLimit, "INSERT", "INSERTs") + " and " +
                      Count(stats.facesOverLimit, "face", "faces") + " past it left out");
    if (!out.empty()) {
        text += "; broken references:";
        for (std::size_t i = 0; i < out.size(); ++i) text += (i ? ", " : " ") + out[i];
    }

    if (!stats.skippedByKind.empty()) {
        std::vector<std::pair<std::string, std::uint64_t>> kinds(stats.skippedByKind.begin(), stats.skippedByKind.end());
        std::stable_sort(kinds.begin(), kinds.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
        text += "; skipped";
        constexpr std::size_t kShown = 8;
        for (std::size_t i = 0; i < kinds.size() && i < kShown; ++i)
            text += (i ? ", " : " ") + Printable(kinds[i].first) + " " + std::to_string(kinds[i].second);
        if (kinds.size() > kShown) text += " and " + Count(kinds.size() - kShown, "other kind", "other kinds");
    }
    if (stats.binaryTruncated) text += "; the binary file ends early (inside a group or before its EOF), what followed is missing";
    if (stats.cutLines > 0)
        text += "; " + Count(stats.cutLines, "value is", "values are") + " longer than 1 MiB and only its start was read";
    if (stats.badCodeLines > 0)
        text += "; " + Count(stats.badCodeLines, "group code line holds", "group code lines hold") +
                " no number and was read past";
    return text;
}
