// Inserting another model file into the open model: its new layers are merged by name, its
// faces are appended selected, and the two-click move starts from the origin.
#pragma once

#include "model/ByteStream.h"
#include "model/Document.h"
#include "model/ModelFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CEditSequence;

struct CInsertResult {
    bool ok = false;
    std::string error;  // what is wrong and where, when !ok
    CFileProblem problem;
    std::size_t shapesInserted = 0;
    int layersAdded = 0;
    // The move is pending: the view sets its m_bLeftTracking to 1 so the next empty click
    // places the inserted faces.
    bool startMoveTracking = false;
};

// Reads the whole file first; a file that is not a model file or ends early changes nothing
// at all (faces, selection, layers, modified flag, move state). On success every existing
// face is deselected, the file's layers whose names are new take its six values while fewer
// than 99 layers are in use (the texture slot keeps its text), every face of the file is
// appended selected, and the pending move starts with g_moveFrom at the origin (g_moveTo
// stays). The version string and the scene settings of the file are read past, not used.
// The caller clears the selection itself when the file cannot be opened at all.
CInsertResult InsertModel(CByteSource& source, CMyvorla_ltDoc& doc, std::uint64_t sizeHint = 0);

// Insertion in two steps, so that the file can be read away from the model (on another thread)
// and merged in one step: the reading touches neither the document nor the tables.
struct CInsertAside {
    CModelFileContent content;  // its problem says what is wrong and where; nothing is merged then
};
CInsertAside ReadInsertion(CByteSource& source, std::uint64_t sizeHint = 0);
// Merges what ReadInsertion read, as InsertModel does. With `record`, what the merge changed
// (selection, layers, appended faces) is recorded there, so that it can be undone.
CInsertResult ApplyInsertion(CInsertAside&& aside, CMyvorla_ltDoc& doc,
                             std::unique_ptr<CEditSequence>* record = nullptr);
