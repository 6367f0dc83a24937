// Commands that read or write other programs' files: DXF import and export, POV-Ray export.
#pragma once

class CMainFrame;

// Which DXF import a command runs: the default one, or the full one (meshes, blocks, units).
enum class EDxfImport { Default, Full };

void OnImportDxf(CMainFrame& frame, EDxfImport kind = EDxfImport::Default);
void OnExportDxf(CMainFrame& frame);
void OnExportPov(CMainFrame& frame);
