// The soak's prompts, model bytes, table guard and memory figure.
#include "SoakSupport.h"

#include "model/ByteStream.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"

#include <QFile>
#include <QFileInfo>

#include <malloc.h>

#include <algorithm>
#include <fstream>

std::string ModelBytes(const CShapeList& shapes)
{
    CStringSink sink;
    WriteModelFile(sink, shapes);
    return sink.m_bytes;
}

std::optional<std::string> FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool WriteBytes(const QString& path, const std::string& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

std::string ManyLayersDxf()
{
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < 120; ++i) {
        std::string layer = "L" + std::to_string(i);
        if (i == 7) layer = std::string(300, 'N');
        if (i == 8) layer = "\x95\xc7";  // Shift-JIS for a wall
        const int x = (i % 12) * 1500 - 9000, y = (i / 12) * 1500 - 7500;
        const int corners[4][2] = {{x, y}, {x + 1000, y}, {x + 1000, y + 1000}, {x, y + 1000}};
        text += "0\n3DFACE\n8\n" + layer + "\n";
        for (int k = 0; k < 4; ++k) {
            text += std::to_string(10 + k) + "\n" + std::to_string(corners[k][0]) + "\n";
            text += std::to_string(20 + k) + "\n" + std::to_string(corners[k][1]) + "\n";
            text += std::to_string(30 + k) + "\n" + std::to_string(i * 10) + "\n";
        }
    }
    return text + "0\nENDSEC\n0\nEOF\n";
}

std::string FullTableModel()
{
    CTablesGuard guard;
    g_layerCount = kMaxLayers;
    for (int i = 0; i < kMaxLayers; ++i) {
        g_layerName[i] = "T" + std::to_string(i);
        for (int a = 0; a < kLayerAttrCount; ++a) g_layerAttr[i][a] = 1.0;
        g_layerTexture[i] = "T_Wood" + std::to_string(i % 35 + 1);
    }
    CMyvorla_ltDoc doc;
    CShape& face = doc.m_curShape;
    face.m_kind = CShape::kFace;
    float x = -6000;
    for (const char* layer : {"T0", "T50", "T99", "Missing"}) {
        face.m_layer = layer;
        const float corners[4][3] = {{x, 0, 0}, {x + 2000, 0, 0}, {x + 2000, 0, 2000}, {x, 0, 2000}};
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                face.m_vertex[k][a] = corners[k][a];
                face.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
            }
        doc.AddShape();
        x += 3000;
    }
    return ModelBytes(doc.m_shapeList);
}

CTablesGuard::CTablesGuard()
    : m_count(g_layerCount),
      m_names(std::begin(g_layerName), std::end(g_layerName)),
      m_textures(std::begin(g_layerTexture), std::end(g_layerTexture)),
      m_attrs(&g_layerAttr[0][0], &g_layerAttr[0][0] + kMaxLayers * kLayerAttrCount),
      m_sky(g_sky),
      m_ground(g_ground),
      m_north(g_north),
      m_season(g_season),
      m_latitude(g_latitude),
      m_hour(g_hour)
{
}

CTablesGuard::~CTablesGuard()
{
    g_layerCount = m_count;
    std::copy(m_names.begin(), m_names.end(), g_layerName);
    std::copy(m_textures.begin(), m_textures.end(), g_layerTexture);
    std::copy(m_attrs.begin(), m_attrs.end(), &g_layerAttr[0][0]);
    g_sky = m_sky;
    g_ground = m_ground;
    g_north = m_north;
    g_season = m_season;
    g_latitude = m_latitude;
    g_hour = m_hour;
}

std::string ReloadDifference(const std::string& bytes)
{
    CTablesGuard guard;
    CMyvorla_ltDoc fresh;
    CMemorySource source(bytes);
    const CLoadResult result = LoadModel(source, fresh, bytes.size());
    if (!result.ok) return "the saved file does not load: " + result.error;
    if (!result.versionMatched) return "the saved file has another version string";
    const std::string again = ModelBytes(fresh.m_shapeList);
    if (again != bytes) {
        const auto at = std::mismatch(again.begin(), again.end(), bytes.begin(), bytes.end());
        return "a second save of the loaded file differs from byte " + std::to_string(at.first - again.begin()) +
               " (" + std::to_string(again.size()) + " bytes against " + std::to_string(bytes.size()) + ")";
    }
    return {};
}

SMemory MeasureMemory()
{
    malloc_trim(0);
    SMemory memory;
    const struct mallinfo2 info = mallinfo2();
    memory.heap = info.uordblks + info.hblkhd;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0) memory.resident = std::size_t(std::stoull(line.substr(8))) * 1024;
    return memory;
}

QString Mebibytes(long long bytes) { return QString::number(double(bytes) / (1 << 20), 'f', 1); }
QString Mebibytes(std::size_t bytes) { return Mebibytes(static_cast<long long>(bytes)); }

void CSoakPrompts::StartAction()
{
    m_files.clear();
    m_shown.clear();
    m_questionAsked = false;
    m_answer = QMessageBox::NoButton;
    m_saveDialogCancelled = false;
    m_saves.clear();
}

QString CSoakPrompts::OpenFileName(QWidget*, const QString&, const QString&)
{
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString CSoakPrompts::SaveFileName(QWidget*, const QString&, const QString&, bool)
{
    // An export names its file through the queue; only model saves are answered at random.
    if (!m_files.isEmpty()) return m_files.dequeue();
    const int roll = m_random.Below(100);
    QString path;
    if (roll < 8) {
        m_saveDialogCancelled = true;
        // A save the question allowed ends here, with nothing written.
        if (!m_saves.empty() && m_saves.back().path.isEmpty()) m_saves.pop_back();
        return path;
    }
    path = roll < 14 ? m_unwritablePath : m_savePath();
    // The program adds the extension to a name typed without one.
    QString saved = path;
    if (QFileInfo(saved).suffix().isEmpty()) saved += QStringLiteral(".vrl");
    // The save question recorded the model already; the dialog only names the file.
    if (!m_saves.empty() && m_saves.back().path.isEmpty()) {
        m_saves.back().path = saved;
        m_saves.back().mustFail = path == m_unwritablePath;
    } else {
        m_saves.push_back({saved, ModelBytes(m_host->Doc().m_shapeList), path == m_unwritablePath});
    }
    return path;
}

QMessageBox::StandardButton CSoakPrompts::Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, QMessageBox::StandardButtons buttons)
{
    CScriptedPrompts::Ask(parent, icon, caption, text, buttons);  // records the text
    m_questionAsked = true;
    const int roll = m_fixedAnswer ? 0 : m_random.Below(100);
    m_answer = m_fixedAnswer ? *m_fixedAnswer : roll < 30 ? QMessageBox::Yes : roll < 80 ? QMessageBox::No : QMessageBox::Cancel;
    // Yes saves the model as it is now, to its own path or to one the save dialog names.
    if (m_answer == QMessageBox::Yes)
        m_saves.push_back({m_host->SaveNeedsName() ? QString() : m_host->PathName(), ModelBytes(m_host->Doc().m_shapeList)});
    return m_answer;
}

QColor CSoakPrompts::ChooseColor(QWidget* parent, const QColor& initial)
{
    CScriptedPrompts::ChooseColor(parent, initial);
    if (m_random.Percent(25)) return QColor();  // cancelled
    return QColor(m_random.Below(256), m_random.Below(256), m_random.Below(256));
}

namespace {

QStringList g_qtMessages;
QtMessageHandler g_previousHandler = nullptr;

void CollectQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) g_qtMessages << message;
    if (g_previousHandler) g_previousHandler(type, context, message);
}

}  // namespace

void StartCollectingQtMessages()
{
    g_previousHandler = qInstallMessageHandler(CollectQtMessage);
}

QStringList TakeQtMessages()
{
    QStringList messages;
    messages.swap(g_qtMessages);
    return messages;
}
