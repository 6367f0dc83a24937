// Counts and lengths a model file claims are trusted only as far as its bytes go, and a model
// the format cannot hold is refused rather than written with a cut count.
#include "import/ModelInsert.h"
#include "interaction/MoveState.h"
#include "model/ModelFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

template <typename T> std::string Bytes(T value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

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
    // Kind, selection, an empty layer name, 33 floats.
    const std::string faceRecord = Bytes<int32_t>(3) + Bytes<int32_t>(0) + std::string(1 + 132, '\0');
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
        {"the most faces a count can say",
         noFaces + Bytes<int32_t>(0x7FFFFFFF) + classDescription + faceRecord,
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
    EXPECT_EQ(ModelFileLimitError(2147483648u),
              "the model has 2147483648 faces; a model file holds at most 2147483647");
}

// The sanitizers reserve terabytes of address space, so a limit on it cannot be set under them.
#ifndef __SANITIZE_ADDRESS__
namespace {

// Opens and inserts a model of 300,000 faces (45 MB of file, 53 MB in memory) with too little
// address space; exits with a non-zero status naming what went wrong.
[[noreturn]] void OpenAndInsertWithTooLittleMemory()
{
    std::string bytes;
    {
        CStringSink sink;
        WriteModelFile(sink, CShapeList(300000));
        bytes = std::move(sink.m_bytes);
    }
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t now = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE));
    int failures = 0;

    // Room for the file's faces once (80 MB) but not twice: insertion reads them all, then
    // cannot make room for them in the model, which stays exactly as it was.
    const rlimit insertLimit{now + (80 << 20), now + (80 << 20)};
    setrlimit(RLIMIT_AS, &insertLimit);
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_selected = 1;
    doc.AddShape();
    doc.SetModifiedFlag(false);
    CMemorySource source(bytes);
    const CInsertResult inserted = InsertModel(source, doc, bytes.size());
    if (inserted.ok || inserted.error != "not enough memory to add 300000 faces") failures |= 1;
    if (doc.m_shapeList.size() != 1 || doc.m_shapeList[0].m_selected != 1 || doc.IsModified()) failures |= 2;
    if (g_movingSelection != 0) failures |= 4;

    // Room for 24 MB: opening stops at once when the file's size shows that its faces cannot
    // fit, or while reading them when the size is not known (a pipe).
    const rlimit openLimit{now + (24 << 20), now + (24 << 20)};
    setrlimit(RLIMIT_AS, &openLimit);
    for (std::uint64_t hint : {std::uint64_t(bytes.size()), std::uint64_t(0)}) {
        CMyvorla_ltDoc opened;
        CMemorySource again(bytes);
        const CLoadResult result = LoadModel(again, opened, hint);
        const char* want =
            hint ? "not enough memory for 300000 faces (at byte 120)" : "not enough memory for more than";
        if (result.ok || result.error.find(want) == std::string::npos) failures |= 8;
        if (!opened.m_shapeList.empty() || opened.IsModified()) failures |= 16;
    }
    _exit(failures);
}

}  // namespace

TEST(ModelFileLimits, MoreFacesThanTheMemoryTakesAreRefusedCleanly)
{
    // A fresh process (the test binary started again), whose heap holds nothing freed by other
    // tests that could stretch the limit.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OpenAndInsertWithTooLittleMemory(), testing::ExitedWithCode(0), "");
}
#endif
