<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>设置...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>暂停切换</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>恢复切换</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>已暂停切换</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>已恢复切换</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>输入法已切换</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>顶部</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>居中</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>底部</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>导入结果</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>跟随系统</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>检查更新</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>已是最新版本！</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>有可用更新：</translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>检查更新失败</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>规则管理</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>通用设置</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>需要辅助功能权限</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>授予权限</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>添加规则</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>暂无规则</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>添加规则后，切换到某个应用时将自动切换输入法。</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>创建第一条规则</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>添加新规则</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>目标应用</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>正在运行的应用</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>选择正在运行的应用</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>已选择：</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>从应用程序中选择...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>输入法</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>切换到</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>选择输入法</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>发生未知错误</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>编辑规则</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>请选择有效的 .app 文件</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>无法访问所选应用程序</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>无法读取应用程序包。请选择有效的 macOS 应用。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>应用语言</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>语言更改将立即生效。</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>登录时自动启动。</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>默认行为</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>默认输入法</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>无（不执行任何操作）</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>如果没有规则与当前应用匹配，则切换到此输入法。</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>显示系统通知</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>切换输入法时显示系统通知。</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>访问网站</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>检查是否有新版本可用。</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>重置所有设置</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>将所有设置恢复为默认值。规则不受影响。</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>重置设置</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>确定要将所有设置恢复为默认值吗？</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>视觉指示器</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>显示输入法指示器</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>显示时长</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>切换输入法时显示悬浮指示器。</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>音效</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>切换时播放声音</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>测试声音</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>切换输入法时播放轻柔的提示音。</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>全局快捷键</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>启用全局快捷键</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>暂停/恢复</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>使用键盘快捷键开启或关闭自动切换。</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>显示代表当前输入法的国旗表情符号。</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>备份与恢复</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>导出规则</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>导入规则</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>以 JSON 文件备份和恢复规则。</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>联系支持</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>功能</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>已成功导入 %1 条规则</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>导入失败：%1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>文件过大，无法导入（超过 %1 MB）。</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>该文件不是有效的 Tolvane 规则备份。</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>无法更新自动启动项：%1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>有可用更新</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 现已推出。您当前的版本为 %2。</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>稍后</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>无法读取更新源。</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane 已在运行。</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>系统托盘不可用；Tolvane 将继续在后台自动切换。</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>请选择一个 .desktop 应用程序条目。</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>所选文件不是应用程序条目。</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>已暂停</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>选择应用程序</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>应用程序条目 (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON 文件 (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>按应用程序切换键盘布局。不带选项时启动 Tolvane（若已在运行，则打开其设置）；带选项时告诉正在运行的 Tolvane 要做什么，然后退出。</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>暂停切换；若已暂停则恢复。</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>暂停切换。</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>恢复切换。</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>打开设置窗口，必要时启动 Tolvane。</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>重新读取规则文件。</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>显示后端、是否已暂停切换、前台应用程序、当前输入源以及规则数量。</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>列出规则可以选择的输入源。</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>列出规则可以指定的正在运行的应用程序。</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>以 JSON 格式输出 --status 和列表。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>意外的参数：%1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>请只指定一个选项。</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json 需与 --status、--list-input-sources 或 --list-applications 一起使用。</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>没有会话总线：%1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane 未在运行。</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane 无法执行此操作：%1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>只能写入本机上的文件。</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>无法将规则导出到“%1”：%2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>系统托盘</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>在系统托盘中显示国旗</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>暂停快捷键无法在此显示器上使用：X 服务器未提供 RECORD 扩展。</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>专为在 Linux 桌面上轻松输入而设计。</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>无法读取更新源：%1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>更新源地址“%1”不是 https 地址</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>更新源大于 %1 字节</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>服务器返回了 HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>有一个条目没有版本号</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>版本 %1 没有下载链接</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>版本 %1 的下载链接不是 https</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>更新源不是格式正确的 XML（第 %1 行：%2）</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>该文档不是 RSS 源</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>更新源声明了文档类型，这是不允许的</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>此桌面没有自动启动功能</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>正在运行的程序路径未知</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>无法创建“%1”</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 是最新版本。</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>搜索应用程序</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>其他…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>隐私</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>共享匿名使用统计</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane 会向 TelemetryDeck 发送启动信号，包含其版本、你的系统、语言和屏幕，以及其窗口的使用时长；绝不会发送任何规则、应用名称或输入的文字。</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>无法保存规则。在 Tolvane 运行期间，你的更改会被保留，并会在下次更改时再次尝试保存。</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane 已在运行，但没有响应；请结束该进程，然后重新启动 Tolvane。</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>此桌面没有系统托盘，因此 Tolvane 在那里没有菜单。它会在后台继续切换；要再次打开这些设置，请重新启动 Tolvane。</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>对于没有规则的应用，使用</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>默认输入法</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>该应用中上次使用的输入法</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>首次出现的应用将使用默认输入法。</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>在 Wayland 下，任何应用程序都不能监视键盘。请从托盘菜单暂停和恢复，或将下面这一行添加到合成器的配置中：</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>设置了环境变量 %1 时保持关闭。</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma 会自行为每个应用恢复上次使用的键盘布局，从而撤销 Tolvane 的切换。请在系统设置的“输入设备 → 键盘 → 布局”中，将“切换策略”设为“全局”。</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma 会自行为每个窗口恢复上次使用的键盘布局，从而撤销 Tolvane 的切换。请在系统设置的“输入设备 → 键盘 → 布局”中，将“切换策略”设为“全局”。</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>此桌面暂不支持切换。</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>未安装 Tolvane 的 GNOME Shell 扩展，因此 Tolvane 既无法得知前台是哪个应用程序，也无法切换输入源。请重新安装 Tolvane，注销后重新登录，然后运行：gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell 尚未加载 Tolvane 的扩展，因此不会进行任何切换。在 Wayland 下，GNOME Shell 只有在您注销并重新登录后才会加载新安装的扩展。之后请运行：gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>Tolvane 的 GNOME Shell 扩展已关闭，因此不会进行任何切换。请用以下命令开启：gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>Tolvane 的 GNOME Shell 扩展无法启动，因此不会进行任何切换：%1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME 为每个窗口分别保存输入源，这会撤销 Tolvane 的切换。请在“设置 › 键盘”中关闭“为每个窗口单独切换输入源”，或运行：gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane：暂停或恢复切换</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>在 Wayland 下，任何应用程序都不能监视键盘，因此由 KWin 代 Tolvane 暂停和恢复切换：快捷键为 Ctrl+Alt+P，可在“系统设置 › 快捷键 › KWin”中（“Tolvane：暂停或恢复切换”）更改。托盘菜单也能做同样的事。</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>在 GNOME 下，任何应用程序都不能监视键盘。请从顶栏中 Tolvane 的菜单暂停和恢复，或在“GNOME 设置 › 键盘 › 查看及自定义快捷键 › 自定义快捷键”中添加一个运行以下命令的快捷键：</translation>
    </message>
</context>
</TS>
