// Shared pieces of the fuzz targets: the invariant check, which aborts so that libFuzzer keeps
// the input as a reproducer and the replay run fails, and byte snapshots of a model and of the
// process-wide tables for before-and-after comparisons.
#pragma once

#include "../model/ShapeBytes.h"
#include "interaction/MoveState.h"
#include "model/ByteStream.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

// The model file a save would write: scene settings, layer table and faces.
inline std::string SavedModel(const CShapeList& shapes)
{
    CStringSink sink;
    WriteModelFile(sink, shapes);
    return sink.m_bytes;
}

// Every slot of the layer table (also those past the count), the scene settings and the
// pending move.
inline std::string TableSnapshot()
{
    std::string out;
    AppendBytes(out, g_layerCount);
    for (const std::string& name : g_layerName) AppendText(out, name);
    AppendBytes(out, g_layerAttr);
    for (const std::string& texture : g_layerTexture) AppendText(out, texture);
    AppendText(out, g_sky);
    AppendText(out, g_ground);
    for (double v : {g_north, g_season, g_latitude, g_hour}) AppendBytes(out, v);
    AppendBytes(out, g_movingSelection);
    AppendBytes(out, g_moveFrom);
    AppendBytes(out, g_moveTo);
    return out;
}

// The smallest record a face takes in a model file: class reference, kind, selection flag,
// an empty layer name and 33 floats. A file of n bytes holds fewer than n / 151 faces.
inline constexpr std::size_t kSmallestFaceBytes = 2 + 4 + 4 + 1 + 33 * 4;
