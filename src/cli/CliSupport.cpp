// Error lines, number text and reading and writing models by file extension.
#include "cli/CliSupport.h"

#include "cli/DxfFiles.h"
#include "model/FileAccess.h"
#include "model/ModelFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

int ReportError(const std::string& path, const std::string& what)
{
    std::fprintf(stderr, "vorla-cli: %s: %s\n", path.c_str(), what.c_str());
    return kExitFailure;
}

void ReportWarning(const std::string& path, const std::string& what)
{
    std::fprintf(stderr, "vorla-cli: %s: warning: %s\n", path.c_str(), what.c_str());
}

std::string NumberText(double value)
{
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string FileExtension(std::string_view path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string ext(path.substr(dot));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

bool IsReadableExtension(const std::string& ext) { return ext == ".vrl" || ext == ".dxf"; }
bool IsWritableExtension(const std::string& ext)
{
    return ext == ".vrl" || ext == ".dxf" || IsPovOutputExtension(ext);
}

std::string CheckInputOptions(const std::string& path, const CInputOptions& options)
{
    if (options.dxfFull && FileExtension(path) != ".dxf") return std::string(kDxfFullOption) + " applies to .dxf input only";
    return {};
}

bool ReadInputModel(const std::string& path, CMyvorla_ltDoc& doc, CInputInfo& info, const CInputOptions& options)
{
    const std::string ext = FileExtension(path);
    if (!IsReadableExtension(ext)) return ReportError(path, kReadableKinds), false;
    if (ext == ".dxf") {
        info.modelFile = false;
        if (options.dxfFull) return ReadDxfFullInput(path, doc, info);
        return ReadDxfInput(path, doc);
    }
    CInputFile file;
    std::string error;
    if (!file.Open(path, error)) return ReportError(path, error), false;
    CFdSource source(file.Fd());
    const CLoadResult result = LoadModel(source, doc, file.Size());
    if (!result.ok) return ReportError(path, result.error), false;
    info.versionMatched = result.versionMatched;
    if (!result.versionMatched)
        ReportWarning(path, "the version string is not \"" + std::string(g_fileVersion) +
                                "\"; it opens as an empty model");
    return true;
}

bool WriteOutputModel(const std::string& path, const CMyvorla_ltDoc& doc, const CPovCliOptions& pov)
{
    const std::string ext = FileExtension(path);
    if (!IsWritableExtension(ext))
        return ReportError(path, kWritableKinds), false;
    if (ext == ".dxf") return WriteDxfOutput(path, doc);
    if (IsPovOutputExtension(ext)) return WritePovOutput(path, doc.m_shapeList, pov);
    std::string error;
    const bool ok = WriteFileAtomically(
        path, [&](CByteSink& sink) { return WriteModelFile(sink, doc.m_shapeList); }, error);
    if (!ok) return ReportError(path, error), false;
    return true;
}
