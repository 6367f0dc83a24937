// Commands that read or write other programs' files: DXF import and export, POV-Ray export.
#pragma once

class CMainFrame;

void OnImportDxf(CMainFrame& frame);
void OnExportDxf(CMainFrame& frame);
void OnExportPov(CMainFrame& frame);
