// DXF input and output of vorla-cli.
#include "cli/DxfFiles.h"

#include "cli/CliSupport.h"
#include "export/DxfWriter.h"
#include "import/DxfReader.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"

#include <cstdio>

bool ReadDxfInput(const std::string& path, CMyvorla_ltDoc& doc)
{
    CInputFile file;
    std::string error;
    if (!file.Open(path, error)) return ReportError(path, error), false;
    CFdSource source(file.Fd());
    const CDxfImportStats stats = ImportDxf(source, doc, {}, file.Size());
    if (!stats.readError.empty()) return ReportError(path, "cannot read: " + stats.readError), false;
    const std::string summary = DxfImportSummary(stats, g_layerCount);
    if (stats.facesImported == 0) {
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
