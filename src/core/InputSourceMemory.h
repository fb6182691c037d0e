#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>
#include <utility>

// The input source each application last used, for applications without a
// rule. Kept in a small file beside the rules; the most recently used
// applications come first and only the newest `capacity()` are kept.
//
// Changes reach the file at most once per save delay, so a run of
// activations costs one write; a change of recency alone waits for the next
// write or for save(). The file is read on first use, so an application that
// never turns the memory on never reads it.
class InputSourceMemory : public QObject {
    Q_OBJECT
public:
    static InputSourceMemory& shared();

    explicit InputSourceMemory(QString filePath, std::chrono::milliseconds saveDelay = std::chrono::seconds(5),
                               QObject* parent = nullptr);
    ~InputSourceMemory() override;

    // Where shared() keeps its file: beside rules.json.
    static QString fileURL();
    // The preference that turns the memory on: true uses the source an
    // application last used, false (or absent) the default input source.
    static QString preferenceKey();
    static bool isEnabledInPreferences();

    static constexpr int capacity() { return 500; }
    // Larger files are not this memory's; they are ignored unread.
    static constexpr qint64 maximumFileSize() { return 1024 * 1024; }

    std::optional<QString> inputSource(const QString& appID);
    void remember(const QString& appID, const QString& inputSourceID);

    // Writes what has not been written yet, now. False when the write failed.
    bool save();

Q_SIGNALS:
    // remember() gave an application another source than it had (a change of
    // recency alone is no such change).
    void inputSourceChanged(const QString& appID);

private:
    using Entry = std::pair<QString, QString>; // application id, input source id

    void ensureLoaded();
    void load();
    void markChanged(bool scheduleSave);

    QString m_filePath;
    QList<Entry> m_entries; // most recently used first
    QTimer m_saveTimer;
    bool m_loaded = false;
    bool m_unsaved = false;
    bool m_lastSaveFailed = false;
};
