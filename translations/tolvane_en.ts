<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>Pause Switching</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>Resume Switching</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>Switching Paused</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>Switching Resumed</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>Input Source Changed</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>Import Result</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>System Default</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Launch at Login</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Check for Updates</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>You're up to date!</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>Update available: </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>Update check failed</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>Rule Management</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>General Settings</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Accessibility Permission Required</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>Grant Access</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Add Rule</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Rule</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>No Rules Yet</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>Add a rule to automatically switch input sources when an app is active.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>Create First Rule</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>Add New Rule</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>Target App</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>Running Apps</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>Select Running App</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Selected:</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>Choose from Applications...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>Input Source</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>Switch To</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>Select Input Source</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>Unknown error occurred</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>Edit Rule</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>Please select a valid .app file</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>Unable to access the selected application</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>Unable to read application bundle. Please select a valid macOS app.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>App Language</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>Language changes take effect immediately.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Startup</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>Automatically start when you log in.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>Fallback Behavior</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>Default Input Source</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>None (Do nothing)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>If no rule matches the active app, switch to this input source.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>Show System Notification</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>Show a system notification when input source switches.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Visit Website</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>Check if a new version is available.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>Reset All Settings</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>Reset all settings to default values. Rules will not be affected.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Reset Settings</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>Are you sure you want to reset all settings to default values?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>Visual Indicator</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Show Input Source Indicator</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>Display Duration</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>Shows a floating indicator when input source changes.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>Sound Effects</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>Play Sound on Switch</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>Test Sound</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>Plays a subtle sound when input source changes.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>Global Hotkey</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>Enable Global Hotkey</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>Pause/Resume</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>Use keyboard shortcut to toggle auto-switching on/off.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>Display country flag emoji representing current input source.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>Backup &amp; Restore</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>Export Rules</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>Import Rules</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>Backup and restore your rules as JSON files.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>Contact Support</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>Features</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>Successfully imported %1 rules</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Import failed: %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>The file is too large to import (over %1 MB).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>The file is not a valid Tolvane rules backup.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>Could not update the autostart entry: %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Update Available</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 is available. You have version %2.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>The update feed could not be read.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane is already running.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>No system tray is available; Tolvane keeps switching in the background.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>Please choose a .desktop application entry.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>The chosen file is not an application entry.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>Choose an application</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>Application entries (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON files (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>Pause switching, or resume it when paused.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>Pause switching.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>Resume switching.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>Open the settings window, starting Tolvane if needed.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>Read the rules file again.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>List the input sources a rule can select.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>List the running applications a rule can name.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>Print --status and the lists as JSON.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>Give exactly one option.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json goes with --status, --list-input-sources or --list-applications.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>No session bus: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane is not running.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane did not do it: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>Only files on this computer can be written.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Export Failed</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>The rules could not be exported to “%1”: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Tray</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>Show Flag in Tray</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Designed for effortless typing on the Linux desktop.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>The update feed could not be read: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>the feed address “%1” is not an https address</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>the feed is larger than %1 bytes</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>the server answered HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>an item has no version</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>version %1 has no download link</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>version %1 has a download link that is not https</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>the feed is not well-formed XML (line %1: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>the document is not an RSS feed</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>the feed declares a document type, which is not allowed</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>this desktop has no autostart service</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>the path of the running program is unknown</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>“%1” cannot be created</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 is the latest version.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>Search Applications</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Applications</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Other…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>Share anonymous usage statistics</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane is already running but does not respond; end that process, then start Tolvane again.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>For applications without a rule, use</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>the default input source</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>the source last used in that application</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>An application seen for the first time gets the default input source.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>Off while the environment variable %1 is set.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Dismiss</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>Switching is not available on this desktop yet.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: Pause or Resume Switching</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</translation>
    </message>
</context>
</TS>
