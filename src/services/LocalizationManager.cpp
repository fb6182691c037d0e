#include "LocalizationManager.h"

#include "base/Logger.h"
#include "base/PreferenceKeys.h"
#include "base/Preferences.h"
#include "base/Tolvane.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace {

const QString kSystem = QStringLiteral("system");
const QString& kAppLanguageKey = PreferenceKeys::appLanguage.name;
const QString& kPlatformLanguagesKey = PreferenceKeys::platformLanguages.name;
constexpr char kContext[] = "Tolvane";

} // namespace

LocalizationManager& LocalizationManager::shared()
{
    static auto* instance = new LocalizationManager;
    return *instance;
}

LocalizationManager::LocalizationManager(QObject* parent)
    : LocalizationManager(QLocale::system().uiLanguages(), parent)
{
}

LocalizationManager::LocalizationManager(const QStringList& systemLanguages, QObject* parent)
    : QObject(parent)
    , m_systemLanguages(systemLanguages)
{
    installQtTranslations();
    setLanguage(Preferences::stringValue(kAppLanguageKey, kSystem), false);
}

LocalizationManager::~LocalizationManager()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
}

QList<LocalizationManager::Language> LocalizationManager::supportedLanguages()
{
    return {
        {kSystem, QStringLiteral("System Default")},
        {QStringLiteral("en"), QStringLiteral("English")},
        {QStringLiteral("zh-Hans"), QStringLiteral("简体中文")},
        {QStringLiteral("ja"), QStringLiteral("日本語")},
        {QStringLiteral("ko"), QStringLiteral("한국어")},
        {QStringLiteral("de"), QStringLiteral("Deutsch")},
        {QStringLiteral("fr"), QStringLiteral("Français")},
        {QStringLiteral("es"), QStringLiteral("Español")},
        {QStringLiteral("pt"), QStringLiteral("Português")},
    };
}

QString LocalizationManager::displayName(const QString& code) const
{
    if (code == kSystem)
        return Tolvane::tr("System Default");
    for (const Language& language : supportedLanguages()) {
        if (language.code == code)
            return language.name;
    }
    return code;
}

QString LocalizationManager::translationTablePath(const QString& code)
{
    return QStringLiteral(":/i18n/tolvane_%1.qm").arg(code);
}

bool LocalizationManager::hasTranslationTable(const QString& code)
{
    // A code is a language tag, never a path: anything else cannot name a table.
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
    if (code == kSystem || !tag.match(code).hasMatch())
        return false;
    return QFile::exists(translationTablePath(code));
}

QString LocalizationManager::tableCodeForLanguages(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        const QLocale locale(name);
        if (locale.language() == QLocale::C)
            continue;
        QString code;
        if (locale.language() == QLocale::Chinese) {
            // Only simplified Chinese has a table; traditional falls through to the next language.
            if (locale.script() != QLocale::SimplifiedHanScript)
                continue;
            code = QStringLiteral("zh-Hans");
        } else {
            code = QLocale::languageToCode(locale.language());
        }
        if (hasTranslationTable(code))
            return code;
    }
    return {};
}

QString LocalizationManager::systemTablePath() const
{
    const QString code = tableCodeForLanguages(m_systemLanguages);
    return code.isEmpty() ? QString() : translationTablePath(code);
}

void LocalizationManager::setLanguage(const QString& code, bool persist)
{
    setCurrentLanguage(code);
    if (code == kSystem) {
        installTable(systemTablePath());
        if (persist) {
            Preferences::remove(kAppLanguageKey);
            Preferences::remove(kPlatformLanguagesKey);
        }
    } else {
        if (hasTranslationTable(code)) {
            installTable(translationTablePath(code));
        } else {
            installTable(systemTablePath());
            Logger::shared().info(QStringLiteral("Language bundle not found for: ") + code);
        }
        if (persist) {
            Preferences::setValue(kAppLanguageKey, code);
            Preferences::setValue(kPlatformLanguagesKey, QStringList{code});
        }
    }
    m_updateTrigger = QUuid::createUuid();
    Q_EMIT updateTriggerChanged();
    Q_EMIT languageDidChange();
}

void LocalizationManager::setCurrentLanguage(const QString& code)
{
    if (code == m_currentLanguage)
        return;
    m_currentLanguage = code;
    Q_EMIT currentLanguageChanged();
}

void LocalizationManager::installTable(const QString& path)
{
    if (path == m_localizedBundle && (path.isEmpty() || m_translator))
        return;
    std::unique_ptr<QTranslator> next;
    if (!path.isEmpty()) {
        next = std::make_unique<QTranslator>();
        if (!next->load(path)) {
            Logger::shared().error(QStringLiteral("Could not read the translation table ") + path);
            next.reset();
        }
    }
    // Installing and removing translators posts QEvent::LanguageChange to every
    // top-level widget, which re-translates the open windows.
    if (next)
        QCoreApplication::installTranslator(next.get());
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator = std::move(next);
    const QString bundle = m_translator ? path : QString();
    if (bundle != m_localizedBundle) {
        m_localizedBundle = bundle;
        Q_EMIT localizedBundleChanged();
    }
}

QString LocalizationManager::localized(const QString& key) const
{
    return QCoreApplication::translate(kContext, key.toUtf8().constData());
}

void LocalizationManager::installQtTranslations()
{
    // Qt's own texts (standard dialogs and buttons) follow the stored language
    // list, as the platform's would at start, else the desktop's languages.
    const auto stored = Preferences::stringListValue(kPlatformLanguagesKey);
    const QLocale locale = stored && !stored->isEmpty() ? QLocale(stored->constFirst())
                                                        : QLocale(m_systemLanguages.value(0, QStringLiteral("C")));
    if (locale.language() == QLocale::C || locale.language() == QLocale::English)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_qtTranslator = std::move(translator);
}
