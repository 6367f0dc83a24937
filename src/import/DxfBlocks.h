// Blocks of the full DXF import: their definitions (faces in block coordinates and nested
// INSERTs, in file order) and their placement by INSERT, to any depth, with the layer "0" and
// colour ByBlock of their entities taken from the INSERT that places them.
#pragma once

#include "import/DxfFullEmitter.h"
#include "import/DxfFullRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CDxfBlocks {
public:
    CDxfBlocks(CDxfEmitter& emitter, CDxfFullStats& stats);
    ~CDxfBlocks();
    CDxfBlocks(const CDxfBlocks&) = delete;
    CDxfBlocks& operator=(const CDxfBlocks&) = delete;

    // BLOCK: the entities up to ENDBLK go to the definition. A second definition of a name
    // is read past; the first one counts.
    void BeginDefinition(std::string_view name, const double base[3]);
    void EndDefinition();
    bool Defining() const { return m_defining; }
    CDxfFaceOut& DefinitionOut();
    // Model space: faces are made at once; an INSERT places its block at once, or at the end
    // of the file when the block is not defined yet.
    CDxfFaceOut& ModelOut();
    // Places the INSERTs that waited for their block.
    void Finish();

    // An affine map: row i is (m[i][0], m[i][1], m[i][2]) and the translation m[i][3].
    struct CAffine {
        double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    };

private:
    struct CBlock;
    class CModelOut;
    class CDefinitionOut;
    // What the INSERTs around a placement give its entities.
    struct CContext {
        std::uint32_t layer = 0;   // the effective layer of the INSERT that places them
        float rgb[3] = {1, 1, 1};  // the colour ByBlock gives
        bool inBlock = false;      // false in model space: layer "0" is layer "0" there
    };
    struct CEstimate {
        std::uint64_t faces = 0;
        std::uint64_t placements = 0;
    };

    CBlock* Find(std::string_view name);
    void PlaceFromModel(const CDxfInsert& insert);
    void Place(const CDxfInsert& insert, const CAffine& parent, const CContext& context, int depth);
    CEstimate Estimate(CBlock& block, int depth, bool& partial);
    std::uint64_t Copies(const CDxfInsert& insert, int& columns, int& rows) const;

    CDxfEmitter& m_emitter;
    CDxfFullStats& m_stats;
    std::vector<std::unique_ptr<CBlock>> m_blocks;
    std::unordered_map<std::string, CBlock*> m_byName;  // upper-cased name
    CBlock* m_current = nullptr;  // the block being defined, or a throwaway for a second definition
    std::unique_ptr<CBlock> m_discard;
    bool m_defining = false;
    std::vector<CDxfInsert> m_waiting;
    std::uint64_t m_estimateSteps = 0;
    std::unique_ptr<CModelOut> m_modelOut;
    std::unique_ptr<CDefinitionOut> m_definitionOut;
};
