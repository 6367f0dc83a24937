// vorla-cli info: what a model holds, as text or as one JSON object.
#include "cli/Commands.h"

#include "cli/CliSupport.h"
#include "import/DxfFullImport.h"
#include "model/LayerTable.h"
#include "model/SceneSettings.h"
#include "model/TextEncoding.h"

#include <cstdio>
#include <limits>

namespace {

struct CBounds {
    bool empty = true;
    double min[3] = {}, max[3] = {};
};

CBounds ComputeBounds(const CShapeList& shapes)
{
    CBounds b;
    for (int a = 0; a < 3; ++a) {
        b.min[a] = std::numeric_limits<double>::infinity();
        b.max[a] = -std::numeric_limits<double>::infinity();
    }
    for (const CShape& s : shapes)
        for (const auto& corner : s.m_vertex)
            for (int a = 0; a < 3; ++a) {
                b.min[a] = std::min<double>(b.min[a], corner[a]);
                b.max[a] = std::max<double>(b.max[a], corner[a]);
            }
    b.empty = shapes.empty();
    return b;
}

std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonNumber(double v)
{
    const std::string text = NumberText(v);
    return (text == "nan" || text == "inf" || text == "-inf") ? "null" : text;
}

std::string QuotedText(std::string_view bytes) { return "\"" + ToDisplayUtf8(bytes) + "\""; }

const char* const kAttrNames[kLayerAttrCount] = {"red", "green", "blue", "transparency", "reflection", "visible"};

void PrintText(const std::string& path, const CMyvorla_ltDoc& doc, const CInputInfo& info)
{
    std::printf("file: %s\n", path.c_str());
    if (info.modelFile) {
        std::printf("version: %s\n", info.versionMatched ? "matched" : "mismatched (opened as an empty model)");
    } else {
        std::printf("version: none (a DXF drawing, imported)\n");
    }
    if (info.dxfFull) {
        if (info.dxfUnits < 0) {
            std::printf("units: none given (scale 1)\n");
        } else {
            const std::string name = DxfUnitsName(info.dxfUnits);
            std::printf("units: %d%s (scale %s)\n", info.dxfUnits, name.empty() ? "" : (" " + name).c_str(),
                        NumberText(info.dxfScale).c_str());
        }
    }
    std::printf("sky: %s\n", QuotedText(g_sky).c_str());
    std::printf("ground: %s\n", QuotedText(g_ground).c_str());
    std::printf("north: %s\nseason: %s\nlatitude: %s\nhour: %s\n", NumberText(g_north).c_str(),
                NumberText(g_season).c_str(), NumberText(g_latitude).c_str(), NumberText(g_hour).c_str());
    std::printf("layers: %d\n", g_layerCount);
    for (int i = 0; i < g_layerCount; ++i) {
        std::printf("  %d %s", i, QuotedText(g_layerName[i]).c_str());
        for (int a = 0; a < kLayerAttrCount; ++a)
            std::printf(" %s %s", kAttrNames[a], NumberText(g_layerAttr[i][a]).c_str());
        std::printf(" texture %s\n", QuotedText(g_layerTexture[i]).c_str());
    }
    std::printf("shapes: %zu\n", doc.m_shapeList.size());
    const CBounds b = ComputeBounds(doc.m_shapeList);
    if (b.empty) {
        std::printf("bounds: none\n");
    } else {
        std::printf("bounds: (%s, %s, %s) .. (%s, %s, %s)\n", NumberText(b.min[0]).c_str(),
                    NumberText(b.min[1]).c_str(), NumberText(b.min[2]).c_str(), NumberText(b.max[0]).c_str(),
                    NumberText(b.max[1]).c_str(), NumberText(b.max[2]).c_str());
    }
}

void PrintJson(const std::string& path, const CMyvorla_ltDoc& doc, const CInputInfo& info)
{
    std::string out = "{";
    out += "\"file\": " + JsonString(ToDisplayUtf8(path));
    out += ", \"version_matched\": " + std::string(!info.modelFile ? "null" : info.versionMatched ? "true" : "false");
    out += ", \"scene\": {\"sky\": " + JsonString(ToDisplayUtf8(g_sky)) + ", \"sky_hex\": \"" + Hex(g_sky) + "\"";
    out += ", \"ground\": " + JsonString(ToDisplayUtf8(g_ground)) + ", \"ground_hex\": \"" + Hex(g_ground) + "\"";
    out += ", \"north\": " + JsonNumber(g_north) + ", \"season\": " + JsonNumber(g_season);
    out += ", \"latitude\": " + JsonNumber(g_latitude) + ", \"hour\": " + JsonNumber(g_hour) + "}";
    if (info.dxfFull) {
        out += ", \"units\": " + (info.dxfUnits < 0 ? std::string("null") : std::to_string(info.dxfUnits));
        out += ", \"scale\": " + JsonNumber(info.dxfScale);
    }
    out += ", \"layers\": [";
    for (int i = 0; i < g_layerCount; ++i) {
        if (i) out += ", ";
        out += "{\"index\": " + std::to_string(i) + ", \"name\": " + JsonString(ToDisplayUtf8(g_layerName[i])) +
               ", \"name_hex\": \"" + Hex(g_layerName[i]) + "\"";
        for (int a = 0; a < kLayerAttrCount; ++a)
            out += ", \"" + std::string(kAttrNames[a]) + "\": " + JsonNumber(g_layerAttr[i][a]);
        out += ", \"texture\": " + JsonString(ToDisplayUtf8(g_layerTexture[i])) + ", \"texture_hex\": \"" +
               Hex(g_layerTexture[i]) + "\"}";
    }
    out += "], \"shape_count\": " + std::to_string(doc.m_shapeList.size());
    const CBounds b = ComputeBounds(doc.m_shapeList);
    if (b.empty) {
        out += ", \"bounds\": null";
    } else {
        out += ", \"bounds\": {\"min\": [" + JsonNumber(b.min[0]) + ", " + JsonNumber(b.min[1]) + ", " +
               JsonNumber(b.min[2]) + "], \"max\": [" + JsonNumber(b.max[0]) + ", " + JsonNumber(b.max[1]) +
               ", " + JsonNumber(b.max[2]) + "]}";
    }
    out += "}\n";
    std::fputs(out.c_str(), stdout);
}

}  // namespace

int RunInfo(const std::vector<std::string>& args)
{
    std::string path;
    bool json = false;
    CInputOptions input;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg == kDxfFullOption) {
            input.dxfFull = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return UsageError("unknown option " + arg);
        } else if (path.empty()) {
            path = arg;
        } else {
            return UsageError("info takes one file");
        }
    }
    if (path.empty()) return UsageError("info needs a file");
    if (const std::string misfit = CheckInputOptions(path, input); !misfit.empty()) return UsageError(misfit);
    CMyvorla_ltDoc doc;
    CInputInfo info;
    if (!ReadInputModel(path, doc, info, input)) return kExitFailure;
    json ? PrintJson(path, doc, info) : PrintText(path, doc, info);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}
