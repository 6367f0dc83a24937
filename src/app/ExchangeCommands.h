// Commands that read or write other programs' files: DXF import and export, POV-Ray export.
#pragma once

#include <QString>

class CMainFrame;

// Imports `path`, or the file the user chooses when it is empty.
void OnImportDxf(CMainFrame& frame, const QString& path = QString());
void OnExportDxf(CMainFrame& frame);
void OnExportPov(CMainFrame& frame);
