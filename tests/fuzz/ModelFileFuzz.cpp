// Fuzz target of the model-file reader. Whatever the bytes, opening them must end in a model
// that saves and opens again to the same bytes, or in a clean failure that leaves an empty,
// unmodified model; the layer count never leaves 0..100.
#include "FuzzSupport.h"

#include "model/Globals.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetGlobals();
    InitViewDefaults();
    const std::string tablesBefore = SavedModel({});

    CMyvorla_ltDoc doc;
    doc.m_curShape.m_layer = "old";
    doc.AddShape();  // opening replaces the model and clears the modified flag
    CMemorySource source(data, size);
    const CLoadResult result = LoadModel(source, doc, size);
    FUZZ_CHECK(g_layerCount >= 0 && g_layerCount <= kMaxLayers);
    FUZZ_CHECK(!doc.IsModified());
    FUZZ_CHECK(result.ok == result.error.empty());
    // Faces are kept only as far as the bytes hold them.
    FUZZ_CHECK(doc.m_shapeList.size() * kSmallestFaceBytes <= size);
    if (!result.ok || !result.versionMatched) FUZZ_CHECK(doc.m_shapeList.empty());
    if (!result.versionMatched) FUZZ_CHECK(SavedModel({}) == tablesBefore);

    // A source of unknown size (a pipe) reads the same.
    {
        CModelFileContent withHint, withoutHint;
        CMemorySource a(data, size), b(data, size);
        const std::string errorWithHint = ReadModelFile(a, withHint, {true, size});
        const std::string errorWithoutHint = ReadModelFile(b, withoutHint, {true, 0});
        FUZZ_CHECK(errorWithHint == errorWithoutHint);
        FUZZ_CHECK(withHint.shapes.size() == withoutHint.shapes.size());
        FUZZ_CHECK(withHint.layers.size() == withoutHint.layers.size());
    }
    if (!result.ok) return 0;

    // Save, open and save again: the same bytes, the same faces bit for bit.
    const std::string saved = SavedModel(doc.m_shapeList);
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc reopened;
    CMemorySource again(saved);
    const CLoadResult second = LoadModel(again, reopened, saved.size());
    FUZZ_CHECK(second.ok);
    FUZZ_CHECK(second.versionMatched);
    FUZZ_CHECK(reopened.m_shapeList.size() == doc.m_shapeList.size());
    for (std::size_t i = 0; i < doc.m_shapeList.size(); ++i)
        FUZZ_CHECK(ShapeBytes(reopened.m_shapeList[i]) == ShapeBytes(doc.m_shapeList[i]));
    FUZZ_CHECK(SavedModel(reopened.m_shapeList) == saved);
    return 0;
}
