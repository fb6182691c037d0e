#include "KWinActivationScript.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptInterface = QStringLiteral("org.kde.kwin.Script");
// KWin answers at once; a compositor that hangs must not hang Tolvane for long.
constexpr int kCallTimeoutMs = 3000;

// A JavaScript string literal for any text.
QString jsString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Plasma 5 calls the signals clientActivated/clientAdded/clientRemoved and the
// list clientList(); Plasma 6 renamed them to window….
const char* const kScriptTemplate = R"JS(// Written by Tolvane at start and unloaded when it quits: tells Tolvane which
// window is in front, so that it can switch the keyboard layout for it.
const tolvaneService = %1;
const tolvanePath = %2;
const tolvaneInterface = %3;
const plasma6 = typeof workspace.windowActivated !== "undefined";

function describe(w) {
    const g = w.frameGeometry;
    const ordinary = (w.normalWindow || w.dialog) && !w.skipTaskbar;
    return [String(w.internalId), String(w.resourceClass || ""), String(w.resourceName || ""),
            String(w.desktopFileName || ""), String(w.pid || 0),
            [g.x, g.y, g.width, g.height].join(","), ordinary ? "1" : "0"];
}

function tell(method, d) {
    callDBus(tolvaneService, tolvanePath, tolvaneInterface, method, d[0], d[1], d[2], d[3], d[4], d[5], d[6]);
}

function activated(w) {
    tell("WindowActivated", w ? describe(w) : ["", "", "", "", "0", "", "0"]);
}

function added(w) {
    tell("WindowAdded", describe(w));
}

function removed(w) {
    callDBus(tolvaneService, tolvanePath, tolvaneInterface, "WindowRemoved", String(w.internalId));
}

(plasma6 ? workspace.windowActivated : workspace.clientActivated).connect(activated);
(plasma6 ? workspace.windowAdded : workspace.clientAdded).connect(added);
(plasma6 ? workspace.windowRemoved : workspace.clientRemoved).connect(removed);
const present = plasma6 ? workspace.windowList() : workspace.clientList();
for (let i = 0; i < present.length; ++i)
    added(present[i]);
activated(plasma6 ? workspace.activeWindow : workspace.activeClient);

// No application may watch the keyboard on Wayland: KWin binds the pause key
// and calls Tolvane's own object, as `tolvane --toggle-pause` does. The user
// changes the keys in System Settings, under KWin.
registerShortcut(%4, %5, %6, function () {
    callDBus("com.kelvora.Tolvane", "/com/kelvora/Tolvane", "com.kelvora.Tolvane1", "TogglePause");
});
)JS";

} // namespace

KWinActivationScript::KWinActivationScript(QDBusConnection bus, QString callbackPath, QString callbackInterface)
    : m_bus(std::move(bus))
    , m_callbackPath(std::move(callbackPath))
    , m_callbackInterface(std::move(callbackInterface))
{
}

QString KWinActivationScript::source(const QString& service, const QString& path, const QString& interface)
{
    return QString::fromUtf8(kScriptTemplate)
        .arg(jsString(service), jsString(path), jsString(interface), jsString(QString::fromLatin1(kPauseShortcutName)),
             jsString(pauseShortcutText()), jsString(QString::fromLatin1(kPauseShortcutKeys)));
}

QString KWinActivationScript::pauseShortcutText()
{
    return QCoreApplication::translate("Tolvane", "Tolvane: Pause or Resume Switching");
}

std::optional<QVariant> KWinActivationScript::call(const QString& path, const QString& interface, const QString& method,
                                                   const QVariantList& arguments)
{
    // The arguments' own types make the message's signature: loadScript is
    // overloaded, and (ss) picks the variant that names the script.
    QDBusMessage message = QDBusMessage::createMethodCall(kKWinService, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        m_error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return std::nullopt;
    }
    return reply.arguments().value(0);
}

bool KWinActivationScript::unload()
{
    const auto unloaded =
        call(kScriptingPath, kScriptingInterface, QStringLiteral("unloadScript"), {QString::fromLatin1(kPluginName)});
    m_loaded = false;
    return unloaded && unloaded->toBool();
}

bool KWinActivationScript::load(const QString& filePath)
{
    m_error.clear();
    // A Tolvane that died left its script behind, calling a name nobody owns.
    unload();

    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(source(m_bus.baseService(), m_callbackPath, m_callbackInterface).toUtf8()) < 0
        || !file.commit()) {
        m_error = file.errorString();
        return false;
    }

    const auto id = call(kScriptingPath, kScriptingInterface, QStringLiteral("loadScript"),
                         {filePath, QString::fromLatin1(kPluginName)});
    if (!id)
        return false;
    if (id->toInt() < 0) {
        m_error = QStringLiteral("KWin refused to load the script");
        return false;
    }
    if (!run(id->toInt()))
        return false;
    m_loaded = true;
    return true;
}

bool KWinActivationScript::run(int scriptId)
{
    // Plasma 5 puts the script object at /<id>, Plasma 6 at /Scripting/Script<id>.
    for (const QString& path :
         {QStringLiteral("/%1").arg(scriptId), QStringLiteral("/Scripting/Script%1").arg(scriptId)}) {
        if (call(path, kScriptInterface, QStringLiteral("run"), {}))
            return true;
    }
    unload();
    return false;
}
