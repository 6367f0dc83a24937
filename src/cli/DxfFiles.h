// DXF input and output of vorla-cli: opening the files, the import summary and error lines.
#pragma once

#include "model/Document.h"

#include <string>

struct CInputInfo;

// Imports a DXF file into `doc` as the viewer does, then prints a one-line summary on stderr
// (a warning when no face was made), naming the full import when it would make more faces.
// Prints its own error line; returns false on failure.
bool ReadDxfInput(const std::string& path, CMyvorla_ltDoc& doc);

// The same with the full import; `info` receives the drawing's units and scale.
bool ReadDxfFullInput(const std::string& path, CMyvorla_ltDoc& doc, CInputInfo& info);

// Writes the faces of `doc` as DXF, replacing `path` only when the whole file was written.
bool WriteDxfOutput(const std::string& path, const CMyvorla_ltDoc& doc);
