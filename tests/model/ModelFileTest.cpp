// The .vrl model file: exact bytes, round trips, the version rule, and malformed input.
#include "interaction/MoveState.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>

#include <cmath>
#include <cstring>
#include <csignal>
#include <chrono>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Save(const CShapeList& shapes)
{
    CStringSink sink;
    EXPECT_TRUE(WriteModelFile(sink, shapes));
    return sink.m_bytes;
}

CLoadResult Load(const std::string& bytes, CMyvorla_ltDoc& doc)
{
    CMemorySource source(bytes);
    return LoadModel(source, doc, bytes.size());
}

CShape MakeShape(const std::string& layer, float seed)
{
    CShape s;
    s.m_kind = 3;
    s.m_layer = layer;
    for (int c = 0; c < 3; ++c) s.m_color[c] = seed + 0.1f * c;
    for (int r = 0; r < 6; ++r) s.m_reserved[r] = seed * 1000 + r;
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = seed + k * 10 + a;
            s.m_normal[k][a] = -seed - k - a * 0.5f;
        }
    return s;
}

template <typename T> std::string Bytes(T value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

// A file with the default settings, no layers and the given tail after the layer count.
std::string FileWithShapesPart(const std::string& afterLayers)
{
    std::string bytes = Save({});
    bytes.resize(bytes.size() - 4);  // drop the face count
    return bytes + afterLayers;
}

// The whole literal, embedded NULs included.
template <std::size_t N> std::string Raw(const char (&text)[N]) { return std::string(text, N - 1); }

const std::string kClassDesc = Raw("\xFF\xFF\x00\x00\x06\x00" "CShape");

std::string ShapeRecord(const std::string& layerPrefixed = std::string(1, '\0'))
{
    return Bytes<int32_t>(3) + Bytes<int32_t>(0) + layerPrefixed + std::string(132, '\0');
}

}  // namespace

TEST(ModelFile, AnEmptyModelWithDefaultSettingsIs120Bytes)
{
    const std::string bytes = Save({});
    std::string expected = "\x14" + std::string(g_fileVersion) + "\x08" "S_Cloud1" + "\x31" + kDefaultGround;
    expected += Bytes(0.0) + Bytes(0.0) + Bytes(36.0) + Bytes(10.0) + Bytes<int32_t>(0) + Bytes<int32_t>(0);
    EXPECT_EQ(bytes.size(), 120u);
    EXPECT_EQ(bytes, expected);
}

TEST(ModelFile, FacesAreFramedByOneClassDescriptionThenClassReferences)
{
    const std::string none = Save({});
    EXPECT_EQ(none.find("CShape"), std::string::npos);
    EXPECT_EQ(none.substr(none.size() - 4), Bytes<int32_t>(0));

    const std::string one = Save({MakeShape("A", 1)});
    const std::size_t head = none.size() - 4;
    EXPECT_EQ(one.substr(head, 4), Bytes<int32_t>(1));
    EXPECT_EQ(one.substr(head + 4, 12), kClassDesc);
    EXPECT_EQ(one.size(), head + 4 + 12 + 140 + 2);

    const std::string two = Save({MakeShape("A", 1), MakeShape("", 2)});
    EXPECT_EQ(two.substr(head + 4 + 12 + 142, 2), "\x01\x80");
    EXPECT_EQ(two.size(), one.size() + 2 + 141);
}

TEST(ModelFile, StringLengthsUseTheirThreePrefixForms)
{
    const std::pair<std::size_t, std::string> cases[] = {
        {0, std::string(1, '\0')},
        {254, "\xFE"},
        {255, "\xFF" + Bytes<uint16_t>(255)},
        {65533, "\xFF" + Bytes<uint16_t>(65533)},
        {65534, "\xFF\xFF\xFF" + Bytes<uint32_t>(65534)},
        {70000, "\xFF\xFF\xFF" + Bytes<uint32_t>(70000)},
    };
    for (const auto& [length, prefix] : cases) {
        g_sky = std::string(length, 's');
        const std::string bytes = Save({});
        EXPECT_EQ(bytes.substr(21, prefix.size()), prefix) << length;
        EXPECT_EQ(bytes.substr(21 + prefix.size(), length), g_sky) << length;
    }
}

TEST(ModelFile, SavingAndLoadingKeepsEveryValueBitForBit)
{
    const std::string sjis = "\x95\xC7\x82\xCC\x83\x8C\x83\x43\x83\x84";  // Shift-JIS text
    const std::string longName(300, 'N');
    g_sky = "pigment { Blue_Sky} ";
    g_ground = std::string(70000, 'g');
    g_north = 45.7;
    g_season = -30;
    g_latitude = -12.25;
    g_hour = 23.999;
    g_layerCount = 3;
    const std::string names[] = {sjis, longName, ""};
    for (int i = 0; i < 3; ++i) {
        g_layerName[i] = names[i];
        for (int a = 0; a < kLayerAttrCount; ++a) g_layerAttr[i][a] = i * 0.1 + a / 7.0;
        g_layerTexture[i] = i == 1 ? std::string(65534, 't') : "T_Wood" + std::to_string(i);
    }
    g_layerAttr[2][kVisible] = std::nan("0x7");  // odd payloads must survive too
    CShapeList shapes = {MakeShape(sjis, 1), MakeShape(longName, 2), MakeShape("", 3), MakeShape(sjis, 4)};
    shapes[1].m_selected = 1;
    shapes[2].m_kind = 99;
    shapes[3].m_reserved[5] = std::nanf("0x123");
    shapes[3].m_vertex[0][0] = -0.0f;

    const std::string first = Save(shapes);
    ResetGlobals();
    CMyvorla_ltDoc doc;
    const CLoadResult result = Load(first, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.versionMatched);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_EQ(doc.m_shapeList.size(), shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i)
        EXPECT_EQ(std::memcmp(&doc.m_shapeList[i].m_color, &shapes[i].m_color, 132), 0) << i;
    EXPECT_EQ(doc.m_shapeList[1].m_layer, longName);
    EXPECT_EQ(doc.m_shapeList[1].m_selected, 1);
    EXPECT_EQ(doc.m_shapeList[2].m_kind, 99);
    EXPECT_EQ(g_layerCount, 3);
    EXPECT_EQ(g_layerName[0], sjis);
    EXPECT_EQ(g_layerTexture[1].size(), 65534u);
    EXPECT_EQ(g_ground.size(), 70000u);
    EXPECT_EQ(g_north, 45.7);
    EXPECT_EQ(Save(doc.m_shapeList), first) << "a second save gives the same bytes";
}

TEST(ModelFile, AVersionMismatchOpensAnEmptyModelAndLeavesTheTables)
{
    const std::string good = Save({MakeShape("A", 1)});
    const std::string variants[] = {
        "\x0F" "Vorla_III V0.07" + good.substr(21),                 // without the trailing blanks
        "\x14" "Vorla_III V0.08     " + good.substr(21),
        "\x05" "hello",                                             // nothing after the version
    };
    for (const std::string& bytes : variants) {
        ResetGlobals();
        AddLayer("Mine");
        g_hour = 7;
        CMyvorla_ltDoc doc;
        doc.AddShape();
        const CLoadResult result = Load(bytes, doc);
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_FALSE(result.versionMatched);
        EXPECT_TRUE(doc.m_shapeList.empty());
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(g_layerCount, 1);
        EXPECT_EQ(g_layerName[0], "Mine");
        EXPECT_EQ(g_hour, 7);
    }
}

struct CMalformedCase {
    const char* name;
    std::string bytes;
    const char* expectedWords;
};

TEST(ModelFile, MalformedFilesFailWithAClearMessageAndAnEmptyDocument)
{
    const std::string good = Save({MakeShape("A", 1), MakeShape("B", 2)});
    const std::string recordOk = ShapeRecord();
    const CMalformedCase cases[] = {
        {"empty file", "", "ends inside the version string"},
        {"truncated version", "\x14Vorla", "ends inside the version string"},
        {"truncated settings", good.substr(0, 100), "ends inside the scene settings"},
        {"layer count -1", FileWithShapesPart("").substr(0, 112) + Bytes<int32_t>(-1), "layer count -1 is outside 0..100"},
        {"layer count 101", FileWithShapesPart("").substr(0, 112) + Bytes<int32_t>(101), "layer count 101"},
        {"layer name past the end", FileWithShapesPart("").substr(0, 112) + Bytes<int32_t>(1) + "\xFF\xFF\xFF" +
                                         Bytes<uint32_t>(0x7FFFFFFF) + "abc", "ends inside a layer name"},
        {"wide-character string", FileWithShapesPart("").substr(0, 112) + Bytes<int32_t>(1) + "\xFF\xFE\xFF",
         "wide-character"},
        {"two billion faces", FileWithShapesPart(Bytes<int32_t>(2000000000) + kClassDesc + recordOk),
         "ends inside a face's class tag"},
        {"wrong class name", FileWithShapesPart(Bytes<int32_t>(1) + Raw("\xFF\xFF\x00\x00\x06\x00" "CShapX") + recordOk),
         "class \"CShapX\""},
        {"wrong class name length", FileWithShapesPart(Bytes<int32_t>(1) + Raw("\xFF\xFF\x00\x00\xFF\xFF")), "class name of 65535"},
        {"schema 1", FileWithShapesPart(Bytes<int32_t>(1) + Raw("\xFF\xFF\x01\x00\x06\x00" "CShape") + recordOk),
         "unsupported version 1"},
        {"null object tag", FileWithShapesPart(Bytes<int32_t>(1) + std::string(2, '\0')), "tag 0x0000"},
        {"reference to an object", FileWithShapesPart(Bytes<int32_t>(2) + kClassDesc + recordOk + "\x02\x80"),
         "tag 0x8002"},
        {"long tag form", FileWithShapesPart(Bytes<int32_t>(1) + "\xFF\x7F"), "tag 0x7FFF"},
        {"reference before description", FileWithShapesPart(Bytes<int32_t>(1) + "\x01\x80" + recordOk),
         "never described"},
        {"face layer past the end",
         FileWithShapesPart(Bytes<int32_t>(1) + kClassDesc + Bytes<int32_t>(3) + Bytes<int32_t>(0) + "\xFF" +
                            Bytes<uint16_t>(5000) + "x"),
         "ends inside the layer name of a face"},
        {"truncated second face", good.substr(0, good.size() - 1), "in face 2 of 2"},
    };
    for (const CMalformedCase& c : cases) {
        ResetGlobals();
        CMyvorla_ltDoc doc;
        doc.AddShape();
        const CLoadResult result = Load(c.bytes, doc);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_NE(result.error.find(c.expectedWords), std::string::npos) << c.name << ": " << result.error;
        EXPECT_TRUE(doc.m_shapeList.empty()) << c.name;
        EXPECT_FALSE(doc.IsModified()) << c.name;
        EXPECT_GE(g_layerCount, 0) << c.name;
        EXPECT_LE(g_layerCount, kMaxLayers) << c.name;
    }
}

TEST(ModelFile, EveryTruncationOfAValidFileFails)
{
    g_layerCount = 1;
    g_layerName[0] = "L";
    const std::string good = Save({MakeShape("L", 1), MakeShape("L", 2)});
    for (std::size_t n = 0; n < good.size(); ++n) {
        CMyvorla_ltDoc doc;
        EXPECT_FALSE(Load(good.substr(0, n), doc).ok) << n;
    }
}

TEST(ModelFile, AFailedLoadKeepsTheSettingsAndLayersReadBeforeTheFault)
{
    g_north = 90;
    AddLayer("FromFile");
    const std::string good = Save({MakeShape("FromFile", 1)});
    ResetGlobals();
    CMyvorla_ltDoc doc;
    ASSERT_FALSE(Load(good.substr(0, good.size() - 10), doc).ok);
    EXPECT_EQ(g_north, 90);
    EXPECT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_layerName[0], "FromFile");
}

TEST(ModelFile, AClaimedShapeCountDoesNotReserveMoreThanTheFileCanHold)
{
    const std::string bytes = FileWithShapesPart(Bytes<int32_t>(2000000000) + kClassDesc + ShapeRecord());
    CModelFileContent content;
    CMemorySource source(bytes);
    CModelReadOptions options;
    options.sizeHint = bytes.size();
    EXPECT_FALSE(ReadModelFile(source, content, options).empty());
    EXPECT_LE(content.shapes.capacity(), 2u);
    EXPECT_EQ(content.shapes.size(), 1u);
}

TEST(ModelFile, InsertionReadsPastAMismatchingVersion)
{
    const std::string good = Save({MakeShape("A", 1)});
    const std::string other = "\x03" "old" + good.substr(21);
    CModelFileContent content;
    CMemorySource source(other);
    CModelReadOptions options;
    options.stopOnVersionMismatch = false;
    EXPECT_EQ(ReadModelFile(source, content, options), "");
    EXPECT_FALSE(content.versionMatched);
    EXPECT_EQ(content.shapes.size(), 1u);
}

TEST(ModelFileOnDisk, SavingReplacesTheFileOnlyWhenTheWriteSucceeded)
{
    CTempDir dir;
    const std::string path = dir / "model.vrl";
    WriteWholeFile(path, "old contents");
    std::string error;

    // A writer that fails halfway: the old file stays, no temporary file is left.
    const bool ok = WriteFileAtomically(
        path,
        [](CByteSink& sink) {
            sink.Write("partial", 7);
            return false;
        },
        error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadWholeFile(path), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    ASSERT_TRUE(WriteFileAtomically(path, [](CByteSink& sink) { return sink.Write("new", 3); }, error)) << error;
    EXPECT_EQ(ReadWholeFile(path), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    EXPECT_FALSE(WriteFileAtomically(dir / "no/such/folder.vrl", [](CByteSink&) { return true; }, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(ModelFileOnDisk, ADiskFullWriteLeavesTheOldFile)
{
    // A small file is written at once; a big one behind the writer, where the failure comes
    // after the writer has handed over its last block and must still be reported.
    struct SCase {
        std::size_t shapes;
        rlimit limit;  // bytes the child process may write per file, as a nearly full disk allows
    };
    const SCase cases[] = {{5000, {65536, 65536}}, {60000, {6u << 20, 6u << 20}}, {60000, {8500000, 8500000}}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.limit.rlim_cur);
        CTempDir dir;
        const std::string path = dir / "model.vrl";
        WriteWholeFile(path, "the saved model");
        CShapeList shapes(c.shapes, MakeShape("L", 1));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &c.limit);
            std::string error;
            const bool ok =
                WriteFileAtomically(path, [&](CByteSink& sink) { return WriteModelFile(sink, shapes); }, error);
            _exit(!ok && error.find("cannot write") != std::string::npos ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(ReadWholeFile(path), "the saved model");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    }
}

TEST(ModelFileOnDisk, ABigFileWrittenBehindTheWriterHoldsEveryByteInOrder)
{
    // Writes of every size, across the start of the writing thread and many of its blocks.
    CTempDir dir;
    const std::string path = dir / "big.bin";
    std::string expected(14u << 20, '\0');
    std::mt19937 random(3);
    for (char& c : expected) c = char(random());
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(
        path,
        [&](CByteSink& sink) {
            for (std::size_t at = 0; at < expected.size();) {
                const std::size_t n = std::min<std::size_t>(expected.size() - at, 1 + (at * 7919) % 2500000);
                if (!sink.Write(expected.data() + at, n)) return false;
                at += n;
            }
            return true;
        },
        error))
        << error;
    EXPECT_TRUE(ReadWholeFile(path) == expected);
}

TEST(ModelFileOnDisk, ASymbolicLinkKeepsPointingAtTheSavedFile)
{
    CTempDir dir;
    WriteWholeFile(dir / "real.vrl", "old");
    std::filesystem::create_symlink("real.vrl", dir / "link.vrl");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "link.vrl", [](CByteSink& s) { return s.Write("new", 3); }, error));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.vrl"));
    EXPECT_EQ(ReadWholeFile(dir / "real.vrl"), "new");
}

// A save killed between its temporary file and the rename leaves ".NAME.XXXXXX" behind; the
// next save of NAME removes such files once they are a day old, and nothing else.
TEST(ModelFileOnDisk, ASaveRemovesItsOwnStaleTemporaryFiles)
{
    CTempDir dir;
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(25);
    const struct {
        const char* name;
        bool stale;  // old enough
        bool removed;
    } files[] = {
        {".model.vrl.Ab3xQ9", true, true},     {".model.vrl.Zz0000", false, false},  // not a day old yet
        {".other.vrl.Ab3xQ9", true, false},    {".model.vrl.Ab3xQ", true, false},    // another model; 5 characters
        {".model.vrl.Ab-xQ9", true, false},    {"model.vrl.Ab3xQ9", true, false},    // not mkstemp's; not hidden
        {".model.vrl.Ab3xQ9x", true, false},
    };
    for (const auto& file : files) {
        WriteWholeFile(dir / file.name, "partial");
        if (file.stale) std::filesystem::last_write_time(dir / file.name, old);
    }
    std::filesystem::create_directory(dir / ".model.vrl.Dir000");
    std::filesystem::last_write_time(dir / ".model.vrl.Dir000", old);

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "model.vrl", [](CByteSink& s) { return s.Write("new", 3); }, error)) << error;
    for (const auto& file : files) EXPECT_EQ(!std::filesystem::exists(dir / file.name), file.removed) << file.name;
    EXPECT_TRUE(std::filesystem::is_directory(dir / ".model.vrl.Dir000"));
    EXPECT_EQ(ReadWholeFile(dir / "model.vrl"), "new");
}

// A named pipe opens at once, whether or not its writer has come; its reading waits for the
// writer, reads what it writes to its end, and stops within moments when asked to.
TEST(ModelFileOnDisk, ANamedPipeNeverBlocksItsOpeningAndItsReadingCanBeStopped)
{
    CTempDir dir;
    const std::string path = dir / "pipe.vrl";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    {
        CInputFile file;
        std::string error;
        ASSERT_TRUE(file.Open(path, error)) << error;
        EXPECT_FALSE(file.IsRegular());
        CReadWatch watch;
        CFdSource source(file.Fd(), &watch);
        std::thread stop([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            watch.cancelled = true;
        });
        char buffer[16];
        EXPECT_EQ(source.Read(buffer, sizeof buffer), 0u);
        EXPECT_EQ(source.Error(), kReadCancelled);
        stop.join();
    }
    CInputFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path, error)) << error;
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        WriteWholeFile(path, "twelve bytes");
    });
    CReadWatch watch;
    CFdSource source(file.Fd(), &watch);
    char buffer[64] = {};
    EXPECT_EQ(source.Read(buffer, sizeof buffer), 12u);
    EXPECT_EQ(std::string(buffer), "twelve bytes");
    EXPECT_EQ(source.Error(), "");
    EXPECT_EQ(watch.bytesRead.load(), 12u);
    writer.join();
}
