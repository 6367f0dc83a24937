// Commands that read or write other programs' files: DXF import and export, POV-Ray export.
#pragma once

#include <QString>

class CMainFrame;

// Which DXF import a command runs: the default one, or the full one (meshes, blocks, units).
enum class EDxfImport { Default, Full };

// Imports `path`, or the file the user chooses when it is empty.
void OnImportDxf(CMainFrame& frame, EDxfImport kind = EDxfImport::Default, const QString& path = QString());
void OnExportDxf(CMainFrame& frame);
void OnExportPov(CMainFrame& frame);
