// DXF export: every face of the model as one 3DFACE entity, after a short fixed header and
// tables section, in the text CAD programs read back.
#pragma once

#include "model/ByteStream.h"
#include "model/Shape.h"

#include <string_view>

// Writes the whole DXF text. Display corners (x, y, z) are written as DXF points (x, -z, y),
// each number as printf("%f") writes it in the C locale. Returns false if the sink failed.
bool WriteDxf(CByteSink& sink, const CShapeList& shapes);

// The export's name test: the path holds ".dxf" or ".DXF" somewhere (".Dxf" does not count).
bool IsDxfExportPath(std::string_view path);
