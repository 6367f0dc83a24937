// DXF input and output of vorla-cli: opening the files, the import summary and error lines.
#pragma once

#include "model/Document.h"

#include <string>

// Imports a DXF file into `doc` as the viewer does, then prints a one-line summary on stderr
// (a warning when no face was made). Prints its own error line; returns false on failure.
bool ReadDxfInput(const std::string& path, CMyvorla_ltDoc& doc);

// Writes the faces of `doc` as DXF, replacing `path` only when the whole file was written.
bool WriteDxfOutput(const std::string& path, const CMyvorla_ltDoc& doc);
