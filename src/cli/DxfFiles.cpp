// DXF input and output of vorla-cli.
#include "cli/DxfFiles.h"

#include "cli/CliSupport.h"
#include "export/DxfWriter.h"
#include "import/DxfFullImport.h"
#include "import/DxfReader.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"

#include <cstdio>

#include <unistd.h>

bool ReadDxfInput(const std::string& path, CMyvorla_ltDoc& doc)
{
    CInputFile file;
    std::string error;
    if (!file.Open(path, error)) return ReportError(path, error), false;
    CFdSource source(file.Fd());
    const CDxfImportStats stats = ImportDxf(source, doc, {}, file.Size());
    if (!stats.readError.empty()) return ReportError(path, "cannot read: " + stats.readError), false;
    std::string summary = DxfImportSummary(stats, g_layerCount);
    // What the full import would make is counted in one more pass, only when the default
    // import left out something that can hold faces, and only of a file that can be read again.
    if (DxfFullImportMayAddFaces(stats) && ::lseek(file.Fd(), 0, SEEK_SET) == 0) {
        CFdSource again(file.Fd());
        const std::uint64_t full = CountDxfFullFaces(again, {}, file.Size());
        if (full > stats.facesImported)
            summary += "; the full import (" + std::string(kDxfFullOption) + ") makes " +
                       std::to_string(full) + " faces of this file";
    }
    if (stats.facesImported == 0) {
        ReportWarning(path, summary);
    } else {
        std::fprintf(stderr, "vorla-cli: %s: %s\n", path.c_str(), summary.c_str());
    }
    return true;
}

bool ReadDxfFullInput(const std::string& path, CMyvorla_ltDoc& doc, CInputInfo& info)
{
    CInputFile file;
    std::string error;
    if (!file.Open(path, error)) return ReportError(path, error), false;
    CFdSource source(file.Fd());
    CDxfFullOptions options;
    options.sizeHint = file.Size();
    const CDxfFullStats stats = ImportDxfFull(source, doc, options);
    if (!stats.readError.empty()) return ReportError(path, "cannot read: " + stats.readError), false;
    info.dxfFull = true;
    info.dxfUnits = stats.units;
    info.dxfScale = stats.scale;
    const std::string summary = DxfFullImportSummary(stats, g_layerCount);
    if (stats.facesMade == 0) {
        ReportWarning(path, summary);
    } else {
        std::fprintf(stderr, "vorla-cli: %s: %s\n", path.c_str(), summary.c_str());
    }
    return true;
}

bool WriteDxfOutput(const std::string& path, const CMyvorla_ltDoc& doc)
{
    std::string error;
    const bool ok = WriteFileAtomically(
        path, [&](CByteSink& sink) { return WriteDxf(sink, doc.m_shapeList); }, error);
    if (!ok) return ReportError(path, error), false;
    return true;
}
