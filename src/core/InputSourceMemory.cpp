#include "InputSourceMemory.h"

#include "base/AtomicFile.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"

#include "base/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kApplications = QStringLiteral("applications");
const QString kAppID = QStringLiteral("appBundleID");
const QString kInputSourceID = QStringLiteral("inputSourceID");

// The file's bytes, or nullopt with the reason it cannot be used; no file at
// all is no reason to complain.
std::optional<QByteArray> readSmallRegularFile(const QString& path, qint64 maximumSize, QString& problem)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    // A pipe or device would block start-up or never end.
    if (!info.isFile()) {
        problem = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (info.size() > maximumSize) {
        problem = QStringLiteral("it is too large (%1 bytes)").arg(info.size());
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.read(maximumSize + 1);
    if (bytes.size() > maximumSize) {
        problem = QStringLiteral("it is too large");
        return std::nullopt;
    }
    return bytes;
}

} // namespace

InputSourceMemory& InputSourceMemory::shared()
{
    static auto* instance = new InputSourceMemory(fileURL());
    return *instance;
}

InputSourceMemory::InputSourceMemory(QString filePath, std::chrono::milliseconds saveDelay, QObject* parent)
    : QObject(parent)
    , m_filePath(std::move(filePath))
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(saveDelay);
    connect(&m_saveTimer, &QTimer::timeout, this, &InputSourceMemory::save);
}

InputSourceMemory::~InputSourceMemory()
{
    save();
}

QString InputSourceMemory::fileURL()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Tolvane/last-input-sources.json");
}

QString InputSourceMemory::preferenceKey()
{
    return PreferenceKeys::rememberLastInputSource.name;
}

bool InputSourceMemory::isEnabledInPreferences()
{
    return Preferences::boolValue(preferenceKey());
}

std::optional<QString> InputSourceMemory::inputSource(const QString& appID)
{
    ensureLoaded();
    const auto entry =
        std::find_if(m_entries.cbegin(), m_entries.cend(), [&](const Entry& e) { return e.first == appID; });
    if (entry == m_entries.cend())
        return std::nullopt;
    return entry->second;
}

void InputSourceMemory::remember(const QString& appID, const QString& inputSourceID)
{
    if (appID.isEmpty() || inputSourceID.isEmpty())
        return;
    ensureLoaded();
    const qsizetype index =
        std::find_if(m_entries.cbegin(), m_entries.cend(), [&](const Entry& e) { return e.first == appID; })
        - m_entries.cbegin();
    const bool known = index < m_entries.size();
    const bool sourceChanged = !known || m_entries.at(index).second != inputSourceID;
    if (known && index == 0 && !sourceChanged)
        return;
    if (known)
        m_entries.removeAt(index);
    m_entries.prepend({appID, inputSourceID});
    if (m_entries.size() > capacity())
        m_entries.removeLast();
    markChanged(sourceChanged);
    if (sourceChanged)
        Q_EMIT inputSourceChanged(appID);
}

void InputSourceMemory::markChanged(bool scheduleSave)
{
    m_unsaved = true;
    if (scheduleSave && !m_saveTimer.isActive())
        m_saveTimer.start();
}

bool InputSourceMemory::save()
{
    m_saveTimer.stop();
    if (!m_unsaved)
        return true;
    QJsonArray applications;
    for (const auto& [appID, inputSourceID] : std::as_const(m_entries))
        applications.append(QJsonObject{{kAppID, appID}, {kInputSourceID, inputSourceID}});
    const QJsonObject document{{QStringLiteral("version"), 1}, {kApplications, applications}};

    QDir().mkpath(QFileInfo(m_filePath).path());
    if (const auto error = AtomicFile::write(m_filePath, QJsonDocument(document).toJson(QJsonDocument::Compact))) {
        // Once per run of failures: the next change tries again.
        if (!m_lastSaveFailed)
            Logger::shared().error(
                QStringLiteral("Could not save the remembered input sources to “%1”: %2").arg(m_filePath, *error));
        m_lastSaveFailed = true;
        return false;
    }
    m_unsaved = false;
    m_lastSaveFailed = false;
    return true;
}

void InputSourceMemory::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    load();
}

void InputSourceMemory::load()
{
    QString problem;
    const auto bytes = readSmallRegularFile(m_filePath, maximumFileSize(), problem);
    QJsonArray applications;
    if (bytes) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
        const QJsonValue list = document.object().value(kApplications);
        if (error.error != QJsonParseError::NoError)
            problem = error.errorString();
        else if (!list.isArray())
            problem = QStringLiteral("it holds no list of applications");
        else
            applications = list.toArray();
    }
    if (!problem.isEmpty()) {
        Logger::shared().error(
            QStringLiteral("Ignored the remembered input sources in “%1”: %2").arg(m_filePath, problem));
        return;
    }
    // Entries that are not two names are skipped; the first of an application wins.
    QSet<QString> seen;
    for (const QJsonValue& value : std::as_const(applications)) {
        const QString appID = value[kAppID].toString();
        const QString inputSourceID = value[kInputSourceID].toString();
        if (appID.isEmpty() || inputSourceID.isEmpty() || seen.contains(appID))
            continue;
        seen.insert(appID);
        m_entries.append({appID, inputSourceID});
        if (m_entries.size() == capacity())
            break;
    }
}
