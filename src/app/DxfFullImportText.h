// The status-bar texts of the full DXF import, and the line a default import adds when the
// full import would make more faces.
#pragma once

#include "import/DxfFullImport.h"

#include <QString>

// What the full import made, by kind, in which units, and what it left out and why.
QString DxfFullImportStatusText(const CDxfFullStats& stats, int layerCount);

// "。DXF（全要素）なら N 面を読み込めます", for a default import that made fewer.
QString DxfFullImportHintText(std::uint64_t fullFaces);
