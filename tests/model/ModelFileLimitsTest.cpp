// Counts and lengths a model file claims are trusted only as far as its bytes go, and a model
// the format cannot hold is refused rather than written with a cut count.
#include "model/ModelFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

template <typename T> std::string Bytes(T value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::string Saved()
{
    CStringSink sink;
    EXPECT_TRUE(WriteModelFile(sink, {}));
    return sink.m_bytes;
}

}  // namespace

TEST(ModelFileLimits, ClaimedSizesAreBoundedByTheBytesPresent)
{
    const std::string version = std::string(1, 20) + g_fileVersion;
    const std::string faceRecord = Bytes<int32_t>(3) + Bytes<int32_t>(0) + std::string(1, '\0') + std::string(132, '\0');
    const std::string classDescription("\xFF\xFF\x00\x00\x06\x00" "CShape", 12);
    std::string noFaces = Saved();
    noFaces.resize(noFaces.size() - 4);
    struct CCase {
        const char* what;
        std::string bytes;
        const char* error;
    };
    const CCase cases[] = {
        // 0xFF, 0xFFFF, then a 32-bit length of 4 GiB - 1, and ten bytes of it.
        {"a 4 GiB sky text", version + "\xFF\xFF\xFF" + Bytes<uint32_t>(0xFFFFFFFF) + std::string(10, 's'),
         "the file ends inside the sky text"},
        {"two billion faces", noFaces + Bytes<int32_t>(2000000000) + classDescription + faceRecord,
         "the file ends inside a face's class tag"},
        {"the most faces a count can say", noFaces + Bytes<int32_t>(0x7FFFFFFF) + classDescription + faceRecord,
         "the file ends inside a face's class tag"},
    };
    for (const CCase& c : cases) {
        // Once with the size known (a file), once without (a pipe).
        for (std::uint64_t hint : {std::uint64_t(c.bytes.size()), std::uint64_t(0)}) {
            CModelFileContent content;
            CMemorySource source(c.bytes);
            const std::string error = ReadModelFile(source, content, {true, hint});
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
            EXPECT_LE(content.sky.capacity(), 1u << 16) << c.what;
            EXPECT_LE(content.shapes.capacity(), 4096u) << c.what;
        }
    }
}

TEST(ModelFileLimits, MoreFacesThanTheCountCanSayAreRefused)
{
    EXPECT_EQ(ModelFileLimitError(0), "");
    EXPECT_EQ(ModelFileLimitError(2147483647), "");
    EXPECT_EQ(ModelFileLimitError(2147483648u), "the model has 2147483648 faces; a model file holds at most 2147483647");
}
