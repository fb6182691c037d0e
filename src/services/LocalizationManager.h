#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <memory>

class QTranslator;

// The interface language, chosen inside the application and changed at run time.
//
// Every user-visible text is an English key in the one translation context
// "Tolvane" (see core/Tolvane.h). A language's table is the compiled
// ":/i18n/tolvane_<code>.qm" resource; "system" follows the desktop's UI
// languages. Selecting a language installs its translator application-wide, so
// every open widget receives QEvent::LanguageChange and re-translates itself.
class LocalizationManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString currentLanguage READ currentLanguage NOTIFY currentLanguageChanged)
    Q_PROPERTY(QString localizedBundle READ localizedBundle NOTIFY localizedBundleChanged)
    Q_PROPERTY(QUuid updateTrigger READ updateTrigger NOTIFY updateTriggerChanged)
public:
    struct Language {
        QString code;
        QString name; // native name; "System Default" (an English key) for "system"
    };

    static LocalizationManager& shared();

    // Restores the stored "appLanguage" (absent: "system") without writing it.
    explicit LocalizationManager(QObject* parent = nullptr);
    // The same, with the desktop's UI languages given (BCP 47 names, most
    // preferred first) instead of read from the system locale.
    explicit LocalizationManager(const QStringList& systemLanguages, QObject* parent = nullptr);
    ~LocalizationManager() override;

    // The chosen code, or "system".
    QString currentLanguage() const { return m_currentLanguage; }
    // The resource path of the table in use, or an empty string for the
    // application's own texts (the English keys).
    QString localizedBundle() const { return m_localizedBundle; }
    QUuid updateTrigger() const { return m_updateTrigger; }

    // Selects a language; with `persist` writes (or, for "system", removes)
    // "appLanguage" and "AppleLanguages".
    void setLanguage(const QString& code, bool persist);

    // The text for an English key in the current language, or the key itself.
    QString localized(const QString& key) const;

    // The picker's rows in display order, "system" first.
    static QList<Language> supportedLanguages();
    // The picker's label for a code: "System Default" translated, else the native name.
    QString displayName(const QString& code) const;

    // Whether a compiled table for this code is among the resources.
    static bool hasTranslationTable(const QString& code);
    // Where the table of a code lives among the resources.
    static QString translationTablePath(const QString& code);
    // The code whose table serves a list of UI languages (most preferred
    // first), or an empty string when no table matches any of them.
    static QString tableCodeForLanguages(const QStringList& uiLanguages);

Q_SIGNALS:
    void currentLanguageChanged();
    void localizedBundleChanged();
    void updateTriggerChanged();
    // "com.kelvora.languageDidChange": after every selection, also a repeated one.
    void languageDidChange();

private:
    void setCurrentLanguage(const QString& code);
    void installTable(const QString& path);
    QString systemTablePath() const;
    void installQtTranslations();

    QStringList m_systemLanguages;
    QString m_currentLanguage = QStringLiteral("system");
    QString m_localizedBundle;
    QUuid m_updateTrigger = QUuid::createUuid();
    std::unique_ptr<QTranslator> m_translator;
    std::unique_ptr<QTranslator> m_qtTranslator;
};
