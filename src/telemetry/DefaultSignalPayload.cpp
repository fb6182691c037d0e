#include "DefaultSignalPayload.h"

#include "SessionManager.h"
#include "TelemetryClock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QOperatingSystemVersion>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <mutex>

#include <sys/utsname.h>

namespace telemetrydeck {

namespace {

constexpr auto sdkVersion = "2.11.0";

// Facts of the machine that cannot change while the process runs, read once.
struct HostFacts {
    QString operatingSystem;
    DefaultSignalPayload::SystemVersion version;
    QString architecture;
    QString modelName;
};

QString withoutNul(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul >= 0 ? bytes.left(nul) : bytes).trimmed();
}

const HostFacts& hostFacts()
{
    static const HostFacts facts = [] {
        HostFacts result;
        struct utsname name { };
        const bool haveUname = uname(&name) == 0;
        const QString machine = haveUname ? withoutNul(QByteArray(name.machine)) : QString();
#if defined(Q_OS_MACOS)
        result.operatingSystem = QStringLiteral("macOS");
        const QOperatingSystemVersion current = QOperatingSystemVersion::current();
        result.version = DefaultSignalPayload::systemVersion(result.operatingSystem,
                                                             QStringLiteral("%1.%2.%3")
                                                                 .arg(current.majorVersion())
                                                                 .arg(std::max(0, current.minorVersion()))
                                                                 .arg(std::max(0, current.microVersion())));
#else
        result.operatingSystem = QStringLiteral("Linux");
        result.version = DefaultSignalPayload::systemVersion(
            result.operatingSystem, haveUname ? withoutNul(QByteArray(name.release)) : QString());
#endif
        result.architecture = machine;
        QFile product(QStringLiteral("/sys/class/dmi/id/product_name"));
        if (product.open(QIODevice::ReadOnly))
            result.modelName = withoutNul(product.read(256));
        if (result.modelName.isEmpty())
            result.modelName = machine;
        return result;
    }();
    return facts;
}

std::mutex providerMutex;
DeviceFactsProvider deviceFactsProvider;

DeviceFacts currentDeviceFacts()
{
    DeviceFactsProvider provider;
    {
        std::lock_guard lock(providerMutex);
        provider = deviceFactsProvider;
    }
    return provider ? provider() : DeviceFacts();
}

QString firstComponent(const QString& identifier)
{
    static const QRegularExpression separators(QStringLiteral("[-_]"));
    return identifier.split(separators).constFirst();
}

QString lastComponent(const QString& identifier)
{
    static const QRegularExpression separators(QStringLiteral("[-_]"));
    return identifier.split(separators).constLast();
}

// Sunday = 0 ... Saturday = 6.
int daysSinceSunday(const QDate& date)
{
    return date.dayOfWeek() % 7;
}

// Week of the year in the Gregorian calendar with weeks starting on Sunday and week 1 being
// the week that contains 1 January.
int weekOfYear(const QDate& date)
{
    const QDate weekStart = date.addDays(-daysSinceSunday(date));
    const QDate nextNewYear(date.year() + 1, 1, 1);
    if (weekStart.daysTo(nextNewYear) <= 6)
        return 1;
    const QDate newYear(date.year(), 1, 1);
    const QDate firstWeekStart = newYear.addDays(-daysSinceSunday(newYear));
    return static_cast<int>(firstWeekStart.daysTo(weekStart) / 7) + 1;
}

} // namespace

void DefaultSignalPayload::setDeviceFactsProvider(DeviceFactsProvider provider)
{
    std::lock_guard lock(providerMutex);
    deviceFactsProvider = std::move(provider);
}

QString DefaultSignalPayload::timeZoneText(int offsetFromUtcSeconds)
{
    const int absolute = std::abs(offsetFromUtcSeconds);
    QString text = QStringLiteral("UTC") + (offsetFromUtcSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        + QString::number(absolute / 3600);
    const int minutes = (absolute % 3600) / 60;
    if (minutes != 0)
        text += QLatin1Char(':') + QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
    return text;
}

QString DefaultSignalPayload::decimalText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("N/A");
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

DefaultSignalPayload::SystemVersion DefaultSignalPayload::systemVersion(const QString& operatingSystem,
                                                                        const QString& release)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(release);
    const auto part = [&match](int index) {
        const QString captured = match.hasMatch() ? match.captured(index) : QString();
        return captured.isEmpty() ? QStringLiteral("0") : QString::number(captured.toULongLong());
    };
    const QString major = part(1);
    const QString minor = part(2);
    const QString patch = part(3);
    const QString prefix = operatingSystem + QLatin1Char(' ');
    return {prefix + major + QLatin1Char('.') + minor + QLatin1Char('.') + patch, prefix + major,
            prefix + major + QLatin1Char('.') + minor};
}

SignalParameters DefaultSignalPayload::calendarParameters(const QDateTime& localNow)
{
    SignalParameters calendar;
    const QDate date = localNow.date();
    if (!date.isValid()) {
        for (const char* key :
             {"dayOfMonth", "dayOfWeek", "dayOfYear", "weekOfYear", "monthOfYear", "quarterOfYear", "hourOfDay"})
            calendar.insert(QStringLiteral("TelemetryDeck.Calendar.") + QLatin1StringView(key), QStringLiteral("-1"));
        calendar.insert(QStringLiteral("TelemetryDeck.Calendar.isWeekend"), QStringLiteral("false"));
        return calendar;
    }
    const int dayOfWeek = date.dayOfWeek(); // 1 = Monday ... 7 = Sunday
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.dayOfMonth"), QString::number(date.day()));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.dayOfWeek"), QString::number(dayOfWeek));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.dayOfYear"), QString::number(date.dayOfYear()));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.weekOfYear"), QString::number(weekOfYear(date)));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.isWeekend"),
                    dayOfWeek >= 6 ? QStringLiteral("true") : QStringLiteral("false"));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.monthOfYear"), QString::number(date.month()));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.quarterOfYear"),
                    QString::number((date.month() - 1) / 3 + 1));
    calendar.insert(QStringLiteral("TelemetryDeck.Calendar.hourOfDay"), QString::number(localNow.time().hour() + 1));
    return calendar;
}

SignalParameters DefaultSignalPayload::parameters()
{
    const HostFacts& host = hostFacts();
    const DeviceFacts device = currentDeviceFacts();
    const QLocale locale;
    const QString localeIdentifier = locale.name();

    QString region =
        locale.territory() != QLocale::AnyTerritory ? QLocale::territoryToCode(locale.territory()) : QString();
    if (region.isEmpty())
        region = lastComponent(localeIdentifier);
    QString language = (locale.language() != QLocale::AnyLanguage && locale.language() != QLocale::C)
        ? QLocale::languageToCode(locale.language())
        : QString();
    if (language.isEmpty())
        language = firstComponent(localeIdentifier);
    const QStringList preferredLanguages = QLocale::system().uiLanguages();
    const QString preferredLanguage =
        firstComponent(preferredLanguages.isEmpty() ? QStringLiteral("zz-ZZ") : preferredLanguages.constFirst());

    const QString appVersion =
        QCoreApplication::applicationVersion().isEmpty() ? QStringLiteral("0") : QCoreApplication::applicationVersion();
    QString buildNumber = QStringLiteral("0");
    if (const QCoreApplication* app = QCoreApplication::instance()) {
        const QVariant build = app->property("buildNumber");
        if (build.typeId() == QMetaType::QString && !build.toString().isEmpty())
            buildNumber = build.toString();
    }
    // There is no store receipt outside Apple's stores: neither TestFlight nor App Store.
    const QString isTestFlight = QStringLiteral("false");
    const QString isAppStore = QStringLiteral("false");
    const QString sdkVersionText = QString::fromLatin1(sdkVersion);
    const QString notAvailable = QStringLiteral("N/A");

    const QDateTime localNow = TelemetryClock::now().toLocalTime();

    SignalParameters p;
    p.insert(QStringLiteral("platform"), host.operatingSystem);
    p.insert(QStringLiteral("systemVersion"), host.version.full);
    p.insert(QStringLiteral("majorSystemVersion"), host.version.major);
    p.insert(QStringLiteral("majorMinorSystemVersion"), host.version.majorMinor);
    p.insert(QStringLiteral("appVersion"), appVersion);
    p.insert(QStringLiteral("buildNumber"), buildNumber);
    p.insert(QStringLiteral("isSimulator"), QStringLiteral("false"));
    p.insert(QStringLiteral("isDebug"), QStringLiteral("false"));
    p.insert(QStringLiteral("isTestFlight"), isTestFlight);
    p.insert(QStringLiteral("isAppStore"), isAppStore);
    p.insert(QStringLiteral("modelName"), host.modelName);
    p.insert(QStringLiteral("architecture"), host.architecture);
    p.insert(QStringLiteral("operatingSystem"), host.operatingSystem);
    p.insert(QStringLiteral("targetEnvironment"), QStringLiteral("native"));
    p.insert(QStringLiteral("locale"), localeIdentifier);
    p.insert(QStringLiteral("region"), region);
    p.insert(QStringLiteral("appLanguage"), language);
    p.insert(QStringLiteral("preferredLanguage"), preferredLanguage);
    p.insert(QStringLiteral("telemetryClientVersion"), sdkVersionText);
    p.insert(QStringLiteral("TelemetryDeck.AppInfo.buildNumber"), buildNumber);
    p.insert(QStringLiteral("TelemetryDeck.AppInfo.version"), appVersion);
    p.insert(QStringLiteral("TelemetryDeck.AppInfo.versionAndBuildNumber"),
             appVersion + QStringLiteral(" (build ") + buildNumber + QLatin1Char(')'));
    p.insert(QStringLiteral("TelemetryDeck.Device.architecture"), host.architecture);
    p.insert(QStringLiteral("TelemetryDeck.Device.modelName"), host.modelName);
    p.insert(QStringLiteral("TelemetryDeck.Device.operatingSystem"), host.operatingSystem);
    p.insert(QStringLiteral("TelemetryDeck.Device.orientation"), QStringLiteral("Fixed"));
    p.insert(QStringLiteral("TelemetryDeck.Device.platform"), host.operatingSystem);
    p.insert(QStringLiteral("TelemetryDeck.Device.screenResolutionHeight"),
             device.screenSize ? decimalText(device.screenSize->height()) : notAvailable);
    p.insert(QStringLiteral("TelemetryDeck.Device.screenResolutionWidth"),
             device.screenSize ? decimalText(device.screenSize->width()) : notAvailable);
    p.insert(QStringLiteral("TelemetryDeck.Device.screenScaleFactor"),
             device.screenScaleFactor ? decimalText(*device.screenScaleFactor) : notAvailable);
    p.insert(QStringLiteral("TelemetryDeck.Device.systemMajorMinorVersion"), host.version.majorMinor);
    p.insert(QStringLiteral("TelemetryDeck.Device.systemMajorVersion"), host.version.major);
    p.insert(QStringLiteral("TelemetryDeck.Device.systemVersion"), host.version.full);
    p.insert(QStringLiteral("TelemetryDeck.Device.timeZone"), timeZoneText(localNow.offsetFromUtc()));
    p.insert(QStringLiteral("TelemetryDeck.RunContext.isAppStore"), isAppStore);
    p.insert(QStringLiteral("TelemetryDeck.RunContext.isDebug"), QStringLiteral("false"));
    p.insert(QStringLiteral("TelemetryDeck.RunContext.isSimulator"), QStringLiteral("false"));
    p.insert(QStringLiteral("TelemetryDeck.RunContext.isTestFlight"), isTestFlight);
    p.insert(QStringLiteral("TelemetryDeck.RunContext.language"), language);
    p.insert(QStringLiteral("TelemetryDeck.RunContext.locale"), localeIdentifier);
    p.insert(QStringLiteral("TelemetryDeck.RunContext.targetEnvironment"), QStringLiteral("native"));
    p.insert(QStringLiteral("TelemetryDeck.SDK.name"), QStringLiteral("SwiftSDK"));
    p.insert(QStringLiteral("TelemetryDeck.SDK.nameAndVersion"), QStringLiteral("SwiftSDK ") + sdkVersionText);
    p.insert(QStringLiteral("TelemetryDeck.SDK.version"), sdkVersionText);
    p.insert(QStringLiteral("TelemetryDeck.UserPreference.colorScheme"), device.colorScheme);
    p.insert(QStringLiteral("TelemetryDeck.UserPreference.language"), preferredLanguage);
    p.insert(QStringLiteral("TelemetryDeck.UserPreference.layoutDirection"), device.layoutDirection);
    p.insert(QStringLiteral("TelemetryDeck.UserPreference.region"), region);

    // No accessibility preferences and no app extensions here: those keys are left out.
    const SignalParameters calendar = calendarParameters(localNow);
    for (auto it = calendar.cbegin(); it != calendar.cend(); ++it)
        p.insert(it.key(), it.value());
    const SignalParameters retention = SessionManager::shared().retentionParameters();
    for (auto it = retention.cbegin(); it != retention.cend(); ++it)
        p.insert(it.key(), it.value());
    return p;
}

} // namespace telemetrydeck
