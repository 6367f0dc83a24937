// The soak's prompts, model bytes, table guard and memory figure.
#include "SoakSupport.h"

#include "model/ByteStream.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"

#include <QFile>
#include <QFileInfo>

#include <malloc.h>
#include <unistd.h>

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

std::size_t ResidentBytes()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

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
    if (m_answer == QMessageBox::Yes) m_saves.push_back({m_host->PathName(), ModelBytes(m_host->Doc().m_shapeList)});
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
