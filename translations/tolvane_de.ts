<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>Umschalten pausieren</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>Umschalten fortsetzen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>Umschalten pausiert</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>Umschalten fortgesetzt</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>Eingabequelle gewechselt</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Oben</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Unten</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>Importergebnis</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Systemstandard</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Bei Anmeldung starten</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>Alles auf dem neuesten Stand!</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>Update verfügbar: </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>Suche nach Updates fehlgeschlagen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>Regelverwaltung</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Berechtigung für Bedienungshilfen erforderlich</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>Zugriff erlauben</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Regeln</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Regel hinzufügen</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Regel</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>Noch keine Regeln</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>Fügen Sie eine Regel hinzu, um die Eingabequelle automatisch zu wechseln, sobald eine App aktiv ist.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>Erste Regel erstellen</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>Neue Regel hinzufügen</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>Ziel-App</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>Laufende Apps</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>Laufende App auswählen</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Ausgewählt:</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>Aus Anwendungen auswählen...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>Eingabequelle</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>Wechseln zu</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>Eingabequelle auswählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>Ein unbekannter Fehler ist aufgetreten</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>Regel bearbeiten</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>Bitte wählen Sie eine gültige .app-Datei aus</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>Auf die ausgewählte Anwendung kann nicht zugegriffen werden</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>Das Anwendungspaket kann nicht gelesen werden. Bitte wählen Sie eine gültige macOS-App aus.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>App-Sprache</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>Sprachänderungen werden sofort wirksam.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>Beim Anmelden automatisch starten.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>Standardverhalten</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>Standard-Eingabequelle</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>Keine (nichts tun)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>Wenn keine Regel auf die aktive App zutrifft, wird zu dieser Eingabequelle gewechselt.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>Systembenachrichtigung anzeigen</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>Zeigt eine Systembenachrichtigung an, wenn die Eingabequelle wechselt.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Website besuchen</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>Prüft, ob eine neue Version verfügbar ist.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>Alle Einstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>Setzt alle Einstellungen auf die Standardwerte zurück. Die Regeln bleiben unverändert.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Einstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>Möchten Sie wirklich alle Einstellungen auf die Standardwerte zurücksetzen?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>Visuelle Anzeige</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Anzeige der Eingabequelle einblenden</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>Anzeigedauer</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>Blendet eine schwebende Anzeige ein, wenn die Eingabequelle wechselt.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>Toneffekte</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>Beim Wechsel Ton abspielen</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>Ton testen</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>Spielt einen dezenten Ton ab, wenn die Eingabequelle wechselt.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>Globales Tastenkürzel</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>Globales Tastenkürzel aktivieren</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>Pausieren/Fortsetzen</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>Schaltet das automatische Umschalten per Tastenkürzel ein oder aus.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>Zeigt ein Länderflaggen-Emoji für die aktuelle Eingabequelle an.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>Sicherung und Wiederherstellung</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>Regeln exportieren</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>Regeln importieren</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>Sichert Ihre Regeln als JSON-Dateien und stellt sie wieder her.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>Support kontaktieren</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>Funktionen</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>%1 Regeln erfolgreich importiert</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Import fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>Die Datei ist zu groß für den Import (über %1 MB).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>Die Datei ist keine gültige Tolvane-Regelsicherung.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>Der Autostart-Eintrag konnte nicht aktualisiert werden: %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Update verfügbar</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 ist verfügbar. Installiert ist Version %2.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>Der Update-Feed konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane läuft bereits.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>Kein Infobereich (System-Tray) verfügbar; Tolvane schaltet im Hintergrund weiterhin um.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>Bitte wählen Sie einen .desktop-Anwendungseintrag aus.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>Die gewählte Datei ist kein Anwendungseintrag.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausiert</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>Anwendung auswählen</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>Anwendungseinträge (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>Wechselt das Tastaturlayout je nach Anwendung. Ohne Optionen startet Tolvane (oder öffnet die Einstellungen der laufenden Instanz); mit einer Option teilt es dem laufenden Tolvane mit, was zu tun ist, und beendet sich.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>Umschalten pausieren oder, wenn pausiert, fortsetzen.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>Umschalten pausieren.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>Umschalten fortsetzen.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>Das Einstellungsfenster öffnen und Tolvane bei Bedarf starten.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>Die Regeldatei erneut einlesen.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>Backend, Pausenstatus, die Anwendung im Vordergrund, die aktuelle Eingabequelle und die Anzahl der Regeln anzeigen.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>Die Eingabequellen auflisten, die eine Regel auswählen kann.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>Die laufenden Anwendungen auflisten, die eine Regel nennen kann.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>--status und die Listen als JSON ausgeben.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>Bitte genau eine Option angeben.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json gehört zu --status, --list-input-sources oder --list-applications.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>Kein Sitzungsbus: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane läuft nicht.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane konnte das nicht ausführen: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>Es können nur Dateien auf diesem Computer geschrieben werden.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>Die Regeln konnten nicht nach „%1“ exportiert werden: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Infobereich</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>Flagge im Infobereich anzeigen</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>Das Tastenkürzel zum Pausieren kann auf diesem Display nicht funktionieren: Der X-Server bietet die RECORD-Erweiterung nicht an.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Entwickelt für müheloses Tippen auf dem Linux-Desktop.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>Der Update-Feed konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>die Feed-Adresse „%1“ ist keine https-Adresse</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>der Feed ist größer als %1 Bytes</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>der Server antwortete mit HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>ein Eintrag hat keine Version</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>Version %1 hat keinen Download-Link</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>Version %1 hat einen Download-Link, der nicht https ist</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>der Feed ist kein wohlgeformtes XML (Zeile %1: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>das Dokument ist kein RSS-Feed</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>der Feed deklariert einen Dokumenttyp, was nicht erlaubt ist</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>diese Arbeitsumgebung hat keinen Autostart-Dienst</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>der Pfad des laufenden Programms ist unbekannt</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>„%1“ kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 ist die neueste Version.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>Anwendungen suchen</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Anwendungen</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Andere …</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Datenschutz</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>Anonyme Nutzungsstatistiken teilen</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane sendet TelemetryDeck ein Startsignal mit seiner Version, Ihrem System, Ihrer Sprache und Ihrem Bildschirm sowie der Dauer, in der seine Fenster genutzt werden; keine Regel, kein App-Name und kein getippter Text wird je gesendet.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>Die Regeln konnten nicht gespeichert werden. Ihre Änderungen bleiben erhalten, solange Tolvane läuft, und beim nächsten Ändern wird erneut gespeichert.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane läuft bereits, antwortet aber nicht; beenden Sie diesen Prozess und starten Sie Tolvane dann erneut.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>Auf diesem Desktop gibt es keinen Systembereich, daher hat Tolvane dort kein Menü. Es wechselt im Hintergrund weiter; um diese Einstellungen wieder zu öffnen, starten Sie Tolvane erneut.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>Für Apps ohne Regel verwenden</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>die Standard-Eingabequelle</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>die zuletzt in dieser App verwendete Quelle</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>Eine App, die zum ersten Mal erscheint, erhält die Standard-Eingabequelle.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>Unter Wayland darf keine Anwendung die Tastatur beobachten. Pausieren und fortsetzen können Sie über das Menü im Systembereich, oder Sie fügen diese Zeile der Konfiguration Ihres Compositors hinzu:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>Aus, solange die Umgebungsvariable %1 gesetzt ist.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma stellt für jede App selbst die zuletzt benutzte Tastaturbelegung wieder her und macht die Umschaltungen von Tolvane rückgängig. Stellen Sie in den Systemeinstellungen unter Eingabegeräte → Tastatur → Belegungen die „Umschaltrichtlinie“ auf „Global“.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma stellt für jedes Fenster selbst die zuletzt benutzte Tastaturbelegung wieder her und macht die Umschaltungen von Tolvane rückgängig. Stellen Sie in den Systemeinstellungen unter Eingabegeräte → Tastatur → Belegungen die „Umschaltrichtlinie“ auf „Global“.</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>Das Umschalten ist auf dieser Arbeitsumgebung noch nicht verfügbar.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>Die GNOME-Shell-Erweiterung von Tolvane ist nicht installiert, daher kann Tolvane weder sehen, welche Anwendung im Vordergrund ist, noch Eingabequellen umschalten. Installieren Sie Tolvane erneut, melden Sie sich ab und wieder an und führen Sie dann aus: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell hat die Erweiterung von Tolvane noch nicht geladen, daher wird nichts umgeschaltet. Unter Wayland lädt GNOME Shell eine neu installierte Erweiterung erst, nachdem Sie sich ab- und wieder angemeldet haben. Führen Sie dann aus: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>Die GNOME-Shell-Erweiterung von Tolvane ist ausgeschaltet, daher wird nichts umgeschaltet. Schalten Sie sie ein mit: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>Die GNOME-Shell-Erweiterung von Tolvane konnte nicht starten, daher wird nichts umgeschaltet: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME merkt sich für jedes Fenster eine eigene Eingabequelle und macht damit die Umschaltungen von Tolvane rückgängig. Schalten Sie „Eingabequellen für jedes Fenster einzeln wechseln“ unter Einstellungen › Tastatur aus oder führen Sie aus: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: Umschalten pausieren oder fortsetzen</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>Unter Wayland darf keine Anwendung die Tastatur beobachten, daher pausiert KWin das Umschalten für Tolvane und setzt es fort: mit Strg+Alt+P, sofern Sie das nicht unter Systemeinstellungen › Kurzbefehle › KWin („Tolvane: Umschalten pausieren oder fortsetzen“) ändern. Das Menü im Systembereich tut dasselbe.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>Unter GNOME darf keine Anwendung die Tastatur beobachten. Pausieren und fortsetzen können Sie über das Menü von Tolvane in der oberen Leiste, oder Sie legen unter GNOME-Einstellungen › Tastatur › Tastenkombinationen ansehen und anpassen › Eigene Tastenkombinationen eine Tastenkombination an, die diesen Befehl ausführt:</translation>
    </message>
</context>
</TS>
