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

    bool Bytes(void* dst, std::size_t n, const char* what)
    {
        if (!Need(n, what)) return false;
        std::memcpy(dst, m_buffer.data() + m_pos, n);
        m_pos += n;
        return true;
    }
    template <typename T> bool Value(T& value, const char* what) { return Bytes(&value, sizeof value, what); }

    bool String(std::string& out, const char* what)
    {
        uint8_t len8 = 0;
        if (!Value(len8, what)) return false;
        uint64_t length = len8;
        if (len8 == 0xFF) {
            uint16_t len16 = 0;
            if (!Value(len16, what)) return false;
            length = len16;
            if (len16 == 0xFFFE) return Fail(std::string("wide-character text is not supported in ") + what);
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

    bool Fail(std::string message)
    {
        if (m_error.empty()) m_error = std::move(message) + " (at byte " + std::to_string(Offset()) + ")";
        return false;
    }
    // The next n bytes when the buffer already holds them, else null (no read, no fault).
    const uint8_t* Peek(std::size_t n) const { return m_end - m_pos >= n ? m_buffer.data() + m_pos : nullptr; }
    void Skip(std::size_t n) { m_pos += n; }

    // Adds where the fault happened to the message of a fault already reported.
    bool AddContext(const std::string& where)
    {
        m_error += ", " + where;
        return false;
    }
    const std::string& Error() const { return m_error; }
    uint64_t Offset() const { return m_consumed + m_pos; }

private:
    bool Need(std::size_t n, const char* what)
    {
        if (m_end - m_pos >= n) return true;
        if (!m_error.empty()) return false;
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
        if (!m_source.Error().empty()) return Fail("read error in " + std::string(what) + ": " + m_source.Error());
        return Fail(std::string("the file ends inside ") + what);
    }

    CByteSource& m_source;
    std::vector<uint8_t> m_buffer;
    std::size_t m_pos = 0, m_end = 0;
    uint64_t m_consumed = 0;
    bool m_eof = false;
    std::string m_error;
};

std::string ShapeLabel(int64_t index, int64_t count)
{
    return "face " + std::to_string(index + 1) + " of " + std::to_string(count);
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
    if (!in.Value(shape.m_kind, "a face record") || !in.Value(shape.m_selected, "a face record") ||
        !in.String(shape.m_layer, "the layer name of a face") || !in.Bytes(record, sizeof record, "a face record"))
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
    if (!in.Value(count, "the face count")) return false;
    if (count <= 0) return true;
    // A claimed count is trusted only as far as the file could hold that many faces.
    uint64_t reserve = static_cast<uint64_t>(count);
    const uint64_t room = options.sizeHint > in.Offset() ? (options.sizeHint - in.Offset()) / kMinShapeBytes : 0;
    reserve = std::min<uint64_t>(reserve, options.sizeHint ? room : 4096);
    try {
        content.shapes.reserve(static_cast<std::size_t>(reserve));
    } catch (const std::bad_alloc&) {
        return in.Fail("not enough memory for " + std::to_string(reserve) + " faces");
    }

    bool classEntered = false;
    for (int32_t i = 0; i < count; ++i) {
        uint16_t tag = 0;
        if (!in.Value(tag, "a face's class tag")) return false;
        if (tag == kNewClassTag) {
            uint16_t schema = 0, nameLength = 0;
            char name[sizeof kClassName - 1] = {};
            if (!in.Value(schema, "a class description") || !in.Value(nameLength, "a class description"))
                return false;
            if (nameLength != sizeof name)
                return in.Fail("not a model file: " + ShapeLabel(i, count) + " has a class name of " +
                               std::to_string(nameLength) + " bytes, expected \"CShape\"");
            if (!in.Bytes(name, sizeof name, "a class name")) return false;
            if (std::memcmp(name, kClassName, sizeof name) != 0)
                return in.Fail("not a model file: " + ShapeLabel(i, count) + " is of class \"" +
                               std::string(name, sizeof name) + "\", expected \"CShape\"");
            if (schema != 0)
                return in.Fail("unsupported version " + std::to_string(schema) + " of class CShape at " +
                               ShapeLabel(i, count));
            classEntered = true;
        } else if (tag == kClassRefTag) {
            if (!classEntered)
                return in.Fail(ShapeLabel(i, count) + " refers to a class that was never described");
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%04X", tag);
            return in.Fail("unexpected object tag " + std::string(hex) + " before " + ShapeLabel(i, count) +
                           " (expected 0xFFFF or 0x8001)");
        }
        CShape& shape = content.shapes.emplace_back();
        if (!ReadShape(in, shape)) {
            content.shapes.pop_back();
            return in.AddContext("in " + ShapeLabel(i, count));
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
            m_refused = "a text of " + std::to_string(n) + " bytes is longer than a model file can hold";
            return;
        }
        m_out.Put(text.data(), n);
    }
    void Bytes(const void* p, std::size_t n) { m_out.Put(p, n); }
    bool Finish()
    {
        if (!m_refused.empty()) m_sink.Refuse(m_refused);
        return m_out.Flush();
    }

private:
    CByteSink& m_sink;
    CBufferedWriter m_out;
    std::string m_refused;
};

}  // namespace

namespace {

std::string ReadModelFileContent(CByteSource& source, CModelFileContent& content,
                                 const CModelReadOptions& options)
{
    CArchiveReader in(source);
    if (!in.String(content.version, "the version string")) return in.Error();
    content.versionMatched = content.version == g_fileVersion;
    if (!content.versionMatched && options.stopOnVersionMismatch) return {};

    if (!in.String(content.sky, "the sky text") || !in.String(content.ground, "the ground text") ||
        !in.Value(content.north, "the scene settings") || !in.Value(content.season, "the scene settings") ||
        !in.Value(content.latitude, "the scene settings") || !in.Value(content.hour, "the scene settings"))
        return in.Error();
    content.settingsRead = true;

    int32_t layerCount = 0;
    if (!in.Value(layerCount, "the layer count")) return in.Error();
    if (layerCount < 0 || layerCount > kMaxLayers) {
        in.Fail("layer count " + std::to_string(layerCount) + " is outside 0.." + std::to_string(kMaxLayers));
        return in.Error();
    }
    content.layerCount = layerCount;
    content.layerCountRead = true;
    for (int32_t i = 0; i < layerCount; ++i) {
        CLayerEntry entry;
        if (!in.String(entry.name, "a layer name") || !in.Bytes(entry.attr, sizeof entry.attr, "a layer's values") ||
            !in.String(entry.texture, "a layer's texture text")) {
            in.AddContext("in layer " + std::to_string(i + 1) + " of " + std::to_string(layerCount));
            return in.Error();
        }
        content.layers.push_back(std::move(entry));
    }
    if (!ReadShapes(in, content, options)) return in.Error();
    return {};
}

}  // namespace

std::string ReadModelFile(CByteSource& source, CModelFileContent& content, const CModelReadOptions& options)
{
    try {
        return ReadModelFileContent(source, content, options);
    } catch (const std::bad_alloc&) {
        // Faces and texts grow only with the bytes actually read, so this is a file that
        // really holds more than the memory can take; what was read is given back.
        const std::size_t faces = content.shapes.size();
        CShapeList().swap(content.shapes);
        return "not enough memory for more than " + std::to_string(faces) + " faces";
    }
}

CLoadResult LoadModel(CByteSource& source, CMyvorla_ltDoc& doc, std::uint64_t sizeHint)
{
    doc.m_shapeList.clear();
    CModelFileContent content;
    CModelReadOptions options;
    options.sizeHint = sizeHint;
    std::string error = ReadModelFile(source, content, options);
    return ApplyModelFile(std::move(content), std::move(error), doc);
}

CLoadResult ApplyModelFile(CModelFileContent&& content, std::string error, CMyvorla_ltDoc& doc)
{
    CLoadResult result;
    result.error = std::move(error);
    result.ok = result.error.empty();
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

std::string ModelFileLimitError(std::uint64_t faceCount)
{
    if (faceCount <= kMaxModelFileFaces) return {};
    return "the model has " + std::to_string(faceCount) + " faces; a model file holds at most " +
           std::to_string(kMaxModelFileFaces);
}

bool WriteModelFile(CByteSink& sink, const CShapeList& shapes)
{
    // The count is written first: a count cut to 32 bits would make the file unreadable.
    if (std::string limit = ModelFileLimitError(shapes.size()); !limit.empty()) {
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
