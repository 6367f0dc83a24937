// Reading and writing the .vrl model file.
//
// Strings carry a length prefix: one byte below 255; 0xFF and a 16-bit length up to 65533;
// 0xFF, 0xFFFF and a 32-bit length beyond. The first face is preceded by the class
// description FF FF, schema 00 00, name length 06 00 and "CShape"; every later face by the
// class reference 01 80. A face record is 140 bytes plus its layer name.
#include "model/ModelFile.h"

#include "model/SceneSettings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little, "the model file is little-endian");

namespace {

constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassRefTag = 0x8001;
constexpr char kClassName[] = "CShape";
constexpr std::size_t kRecordFloats = 3 + 6 + 12 + 12;  // colour, reserved, corners, normals
constexpr std::size_t kMinShapeBytes = 2 + 4 + 4 + 1 + kRecordFloats * 4;

// Buffered little-endian reader that reports the first fault with its byte offset.
class CArchiveReader {
public:
    explicit CArchiveReader(CByteSource& source) : m_source(source), m_buffer(1 << 16) {}

    bool Bytes(void* dst, std::size_t n, EFilePart what)
    {
        if (!Need(n, what)) return false;
        std::memcpy(dst, m_buffer.data() + m_pos, n);
        m_pos += n;
        return true;
    }
    template <typename T> bool Value(T& value, EFilePart what) { return Bytes(&value, sizeof value, what); }

    bool String(std::string& out, EFilePart what)
    {
        uint8_t len8 = 0;
        if (!Value(len8, what)) return false;
        uint64_t length = len8;
        if (len8 == 0xFF) {
            uint16_t len16 = 0;
            if (!Value(len16, what)) return false;
            length = len16;
            if (len16 == 0xFFFE) return Fail(WithPart(EFileProblem::kWideText, what));
            if (len16 == 0xFFFF) {
                uint32_t len32 = 0;
                if (!Value(len32, what)) return false;
                length = len32;
            }
        }
        // Grow with the data actually present, never by the claimed length alone.
        out.clear();
        while (length > 0) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(length, m_buffer.size()));
            if (!Need(chunk, what)) return false;
            out.append(reinterpret_cast<const char*>(m_buffer.data() + m_pos), chunk);
            m_pos += chunk;
            length -= chunk;
        }
        return true;
    }

    bool Fail(CFileProblem problem)
    {
        if (!m_problem.Failed()) {
            m_problem = std::move(problem);
            m_problem.hasOffset = true;
            m_problem.offset = Offset();
        }
        return false;
    }
    static CFileProblem WithPart(EFileProblem code, EFilePart part)
    {
        CFileProblem problem;
        problem.code = code;
        problem.part = part;
        return problem;
    }
    // The next n bytes when the buffer already holds them, else null (no read, no fault).
    const uint8_t* Peek(std::size_t n) const { return m_end - m_pos >= n ? m_buffer.data() + m_pos : nullptr; }
    void Skip(std::size_t n) { m_pos += n; }

    // Adds the face or layer being read to a fault already reported.
    bool AddContext(CFileProblem::EPlace place, int64_t index, int64_t count)
    {
        m_problem.place = place;
        m_problem.index = index;
        m_problem.count = count;
        return false;
    }
    const CFileProblem& Problem() const { return m_problem; }
    uint64_t Offset() const { return m_consumed + m_pos; }

private:
    bool Need(std::size_t n, EFilePart what)
    {
        if (m_end - m_pos >= n) return true;
        if (m_problem.Failed()) return false;
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_consumed += m_pos;
        m_end -= m_pos;
        m_pos = 0;
        if (m_buffer.size() < n) m_buffer.resize(n);
        if (!m_eof) {
            const std::size_t got = m_source.Read(m_buffer.data() + m_end, m_buffer.size() - m_end);
            m_end += got;
            if (m_end < m_buffer.size()) m_eof = true;
        }
        if (m_end >= n) return true;
        if (!m_source.Error().empty()) {
            CFileProblem problem = WithPart(EFileProblem::kReadError, what);
            problem.systemError = m_source.SystemError();
            problem.systemText = m_source.Error();
            return Fail(std::move(problem));
        }
        return Fail(WithPart(EFileProblem::kEndsInside, what));
    }

    CByteSource& m_source;
    std::vector<uint8_t> m_buffer;
    std::size_t m_pos = 0, m_end = 0;
    uint64_t m_consumed = 0;
    bool m_eof = false;
    CFileProblem m_problem;
};

CFileProblem FaceProblem(EFileProblem code, int64_t index, int64_t count, int64_t value = 0)
{
    CFileProblem problem = CFileProblem::Of(code, value);
    problem.place = CFileProblem::EPlace::kFace;
    problem.index = index;
    problem.count = count;
    return problem;
}

bool ReadShape(CArchiveReader& in, CShape& shape)
{
    // Fast path: a whole record with a short layer name is already in the buffer.
    if (const uint8_t* p = in.Peek(4 + 4 + 1 + 254 + kRecordFloats * 4)) {
        const uint8_t nameLength = p[8];
        if (nameLength < 255) {
            std::memcpy(&shape.m_kind, p, 4);
            std::memcpy(&shape.m_selected, p + 4, 4);
            shape.m_layer.assign(reinterpret_cast<const char*>(p + 9), nameLength);
            const uint8_t* f = p + 9 + nameLength;
            std::memcpy(shape.m_color, f, sizeof shape.m_color);
            std::memcpy(shape.m_reserved, f + 12, sizeof shape.m_reserved);
            std::memcpy(shape.m_vertex, f + 36, sizeof shape.m_vertex);
            std::memcpy(shape.m_normal, f + 84, sizeof shape.m_normal);
            in.Skip(9 + nameLength + kRecordFloats * 4);
            return true;
        }
    }
    float record[kRecordFloats];
    if (!in.Value(shape.m_kind, EFilePart::kFaceRecord) || !in.Value(shape.m_selected, EFilePart::kFaceRecord) ||
        !in.String(shape.m_layer, EFilePart::kFaceLayerName) || !in.Bytes(record, sizeof record, EFilePart::kFaceRecord))
        return false;
    static_assert(sizeof record == sizeof shape.m_color + sizeof shape.m_reserved + sizeof shape.m_vertex +
                                       sizeof shape.m_normal);
    const float* p = record;
    std::memcpy(shape.m_color, p, sizeof shape.m_color);
    p += 3;
    std::memcpy(shape.m_reserved, p, sizeof shape.m_reserved);
    p += 6;
    std::memcpy(shape.m_vertex, p, sizeof shape.m_vertex);
    p += 12;
    std::memcpy(shape.m_normal, p, sizeof shape.m_normal);
    return true;
}

bool ReadShapes(CArchiveReader& in, CModelFileContent& content, const CModelReadOptions& options)
{
    int32_t count = 0;
    if (!in.Value(count, EFilePart::kFaceCount)) return false;
    if (count <= 0) return true;
    // A claimed count is trusted only as far as the file could hold that many faces.
    uint64_t reserve = static_cast<uint64_t>(count);
    const uint64_t room = options.sizeHint > in.Offset() ? (options.sizeHint - in.Offset()) / kMinShapeBytes : 0;
    reserve = std::min<uint64_t>(reserve, options.sizeHint ? room : 4096);
    try {
        content.shapes.reserve(static_cast<std::size_t>(reserve));
    } catch (const std::bad_alloc&) {
        return in.Fail(CFileProblem::Of(EFileProblem::kNoMemoryForFaces, int64_t(reserve)));
    }

    bool classEntered = false;
    for (int32_t i = 0; i < count; ++i) {
        uint16_t tag = 0;
        if (!in.Value(tag, EFilePart::kClassTag)) return false;
        if (tag == kNewClassTag) {
            uint16_t schema = 0, nameLength = 0;
            char name[sizeof kClassName - 1] = {};
            if (!in.Value(schema, EFilePart::kClassDescription) || !in.Value(nameLength, EFilePart::kClassDescription))
                return false;
            if (nameLength != sizeof name) return in.Fail(FaceProblem(EFileProblem::kClassNameLength, i, count, nameLength));
            if (!in.Bytes(name, sizeof name, EFilePart::kClassName)) return false;
            if (std::memcmp(name, kClassName, sizeof name) != 0) {
                CFileProblem problem = FaceProblem(EFileProblem::kClassName, i, count);
                problem.name.assign(name, sizeof name);
                return in.Fail(std::move(problem));
            }
            if (schema != 0) return in.Fail(FaceProblem(EFileProblem::kClassSchema, i, count, schema));
            classEntered = true;
        } else if (tag == kClassRefTag) {
            if (!classEntered) return in.Fail(FaceProblem(EFileProblem::kClassUndescribed, i, count));
        } else {
            return in.Fail(FaceProblem(EFileProblem::kObjectTag, i, count, tag));
        }
        CShape& shape = content.shapes.emplace_back();
        if (!ReadShape(in, shape)) {
            content.shapes.pop_back();
            return in.AddContext(CFileProblem::EPlace::kFace, i, count);
        }
    }
    return true;
}

class CArchiveWriter {
public:
    explicit CArchiveWriter(CByteSink& sink) : m_sink(sink), m_out(sink) {}
    template <typename T> void Value(T value) { m_out.Put(&value, sizeof value); }
    void String(const std::string& text)
    {
        const std::size_t n = text.size();
        if (n < 255) {
            Value(static_cast<uint8_t>(n));
        } else if (n < 0xFFFE) {
            Value(static_cast<uint8_t>(0xFF));
            Value(static_cast<uint16_t>(n));
        } else if (n <= 0xFFFFFFFF) {
            Value(static_cast<uint8_t>(0xFF));
            Value(static_cast<uint16_t>(0xFFFF));
            Value(static_cast<uint32_t>(n));
        } else {
            // A 32-bit length cannot say it; a cut length would misframe everything after it.
            m_refused = CFileProblem::Of(EFileProblem::kTextTooLong, std::int64_t(n));
            return;
        }
        m_out.Put(text.data(), n);
    }
    void Bytes(const void* p, std::size_t n) { m_out.Put(p, n); }
    bool Finish()
    {
        if (m_refused.Failed()) m_sink.Refuse(m_refused);
        return m_out.Flush();
    }

private:
    CByteSink& m_sink;
    CBufferedWriter m_out;
    CFileProblem m_refused;
};

}  // namespace

namespace {

bool ReadModelFileContent(CByteSource& source, CModelFileContent& content, const CModelReadOptions& options,
                          CFileProblem& problem)
{
    CArchiveReader in(source);
    const auto fail = [&] {
        problem = in.Problem();
        return false;
    };
    if (!in.String(content.version, EFilePart::kVersion)) return fail();
    content.versionMatched = content.version == g_fileVersion;
    if (!content.versionMatched && options.stopOnVersionMismatch) return true;

    if (!in.String(content.sky, EFilePart::kSky) || !in.String(content.ground, EFilePart::kGround) ||
        !in.Value(content.north, EFilePart::kSceneSettings) || !in.Value(content.season, EFilePart::kSceneSettings) ||
        !in.Value(content.latitude, EFilePart::kSceneSettings) || !in.Value(content.hour, EFilePart::kSceneSettings))
        return fail();
    content.settingsRead = true;

    int32_t layerCount = 0;
    if (!in.Value(layerCount, EFilePart::kLayerCount)) return fail();
    if (layerCount < 0 || layerCount > kMaxLayers) {
        CFileProblem count = CFileProblem::Of(EFileProblem::kLayerCount, layerCount);
        count.limit = kMaxLayers;
        in.Fail(std::move(count));
        return fail();
    }
    content.layerCount = layerCount;
    content.layerCountRead = true;
    for (int32_t i = 0; i < layerCount; ++i) {
        CLayerEntry entry;
        if (!in.String(entry.name, EFilePart::kLayerName) ||
            !in.Bytes(entry.attr, sizeof entry.attr, EFilePart::kLayerValues) ||
            !in.String(entry.texture, EFilePart::kLayerTexture)) {
            in.AddContext(CFileProblem::EPlace::kLayer, i, layerCount);
            return fail();
        }
        content.layers.push_back(std::move(entry));
    }
    if (!ReadShapes(in, content, options)) return fail();
    return true;
}

}  // namespace

std::string ReadModelFile(CByteSource& source, CModelFileContent& content, const CModelReadOptions& options)
{
    content.problem = {};
    try {
        ReadModelFileContent(source, content, options, content.problem);
    } catch (const std::bad_alloc&) {
        // Faces and texts grow only with the bytes actually read, so this is a file that
        // really holds more than the memory can take; what was read is given back.
        const std::size_t faces = content.shapes.size();
        CShapeList().swap(content.shapes);
        content.problem = CFileProblem::Of(EFileProblem::kNoMemoryBeyondFaces, int64_t(faces));
    }
    return content.problem.English();
}

CLoadResult LoadModel(CByteSource& source, CMyvorla_ltDoc& doc, std::uint64_t sizeHint)
{
    doc.m_shapeList.clear();
    CModelFileContent content;
    CModelReadOptions options;
    options.sizeHint = sizeHint;
    ReadModelFile(source, content, options);
    return ApplyModelFile(std::move(content), doc);
}

CLoadResult ApplyModelFile(CModelFileContent&& content, CMyvorla_ltDoc& doc)
{
    CLoadResult result;
    result.problem = content.problem;
    result.error = result.problem.English();
    result.ok = !result.problem.Failed();
    result.versionMatched = content.versionMatched;

    if (content.versionMatched && content.settingsRead) {
        g_sky = content.sky;
        g_ground = content.ground;
        g_north = content.north;
        g_season = content.season;
        g_latitude = content.latitude;
        g_hour = content.hour;
    }
    if (content.versionMatched && content.layerCountRead) {
        g_layerCount = content.layerCount;
        for (std::size_t i = 0; i < content.layers.size(); ++i) {
            g_layerName[i] = std::move(content.layers[i].name);
            std::copy(std::begin(content.layers[i].attr), std::end(content.layers[i].attr), g_layerAttr[i]);
            g_layerTexture[i] = std::move(content.layers[i].texture);
        }
    }
    if (result.ok) {
        doc.m_shapeList = std::move(content.shapes);
    } else {
        doc.OnNewDocument();
    }
    doc.SetModifiedFlag(false);
    return result;
}

CFileProblem ModelFileLimitProblem(std::uint64_t faceCount)
{
    if (faceCount <= kMaxModelFileFaces) return {};
    CFileProblem problem = CFileProblem::Of(EFileProblem::kModelTooLarge, std::int64_t(faceCount));
    problem.limit = std::int64_t(kMaxModelFileFaces);
    return problem;
}

std::string ModelFileLimitError(std::uint64_t faceCount)
{
    return ModelFileLimitProblem(faceCount).English();
}

bool WriteModelFile(CByteSink& sink, const CShapeList& shapes)
{
    // The count is written first: a count cut to 32 bits would make the file unreadable.
    if (CFileProblem limit = ModelFileLimitProblem(shapes.size()); limit.Failed()) {
        sink.Refuse(std::move(limit));
        return false;
    }
    CArchiveWriter out(sink);
    out.String(g_fileVersion);
    out.String(g_sky);
    out.String(g_ground);
    out.Value(g_north);
    out.Value(g_season);
    out.Value(g_latitude);
    out.Value(g_hour);
    const int32_t layerCount = std::clamp(g_layerCount, 0, kMaxLayers);
    out.Value(layerCount);
    for (int32_t i = 0; i < layerCount; ++i) {
        out.String(g_layerName[i]);
        out.Bytes(g_layerAttr[i], sizeof g_layerAttr[i]);
        out.String(g_layerTexture[i]);
    }
    out.Value(static_cast<int32_t>(shapes.size()));
    bool first = true;
    for (const CShape& shape : shapes) {
        if (first) {
            const uint8_t classDescription[] = {0xFF, 0xFF, 0x00, 0x00, 0x06, 0x00, 'C', 'S', 'h', 'a', 'p', 'e'};
            out.Bytes(classDescription, sizeof classDescription);
            first = false;
        } else {
            out.Value(kClassRefTag);
        }
        out.Value(shape.m_kind);
        out.Value(shape.m_selected);
        out.String(shape.m_layer);
        out.Bytes(shape.m_color, sizeof shape.m_color);
        out.Bytes(shape.m_reserved, sizeof shape.m_reserved);
        out.Bytes(shape.m_vertex, sizeof shape.m_vertex);
        out.Bytes(shape.m_normal, sizeof shape.m_normal);
    }
    return out.Finish();
}
