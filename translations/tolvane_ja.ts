<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>設定...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>切り替えを一時停止</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>切り替えを再開</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>切り替え一時停止中</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>切り替えを再開しました</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>入力ソースが変更されました</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>上</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中央</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>下</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>インポート結果</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>システムのデフォルト</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>アップデートを確認</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>お使いのバージョンは最新です。</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>利用可能なアップデート：</translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>アップデートの確認に失敗しました</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>ルール管理</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>一般設定</translation>
    </message>
    <message>
        <source>About</source>
        <translation>このアプリについて</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>アクセシビリティの許可が必要です</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>アクセスを許可</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>ルールを追加</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>ルールはまだありません</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>ルールを追加すると、アプリがアクティブになったときに入力ソースが自動的に切り替わります。</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>最初のルールを作成</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>新しいルールを追加</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>対象アプリ</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>実行中のアプリ</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>実行中のアプリを選択</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>選択中：</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>アプリケーションから選択...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>入力ソース</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>切り替え先</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>入力ソースを選択</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>不明なエラーが発生しました</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>ルールを編集</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>有効</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>有効な .app ファイルを選択してください</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>選択したアプリケーションにアクセスできません</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>アプリケーションバンドルを読み込めません。有効な macOS アプリを選択してください。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>アプリの言語</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>言語の変更はすぐに反映されます。</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>起動</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>ログイン時に自動的に起動します。</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>デフォルトの動作</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>デフォルトの入力ソース</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>なし（何もしない）</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>アクティブなアプリに一致するルールがない場合は、この入力ソースに切り替えます。</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>システム通知を表示</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>入力ソースが切り替わったときにシステム通知を表示します。</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Webサイトを開く</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>新しいバージョンがあるかどうかを確認します。</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>すべての設定をリセット</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>すべての設定をデフォルト値に戻します。ルールは変更されません。</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>設定をリセット</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>すべての設定をデフォルト値に戻してもよろしいですか？</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>ビジュアルインジケータ</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>入力ソースインジケータを表示</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>表示時間</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>入力ソースが変わったときにフローティングインジケータを表示します。</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>効果音</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>切り替え時にサウンドを再生</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>サウンドをテスト</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>入力ソースが変わったときに控えめなサウンドを再生します。</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>グローバルホットキー</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>グローバルホットキーを有効にする</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>一時停止/再開</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>キーボードショートカットで自動切り替えのオン/オフを切り替えます。</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>現在の入力ソースを表す国旗の絵文字を表示します。</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>バックアップと復元</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>ルールをエクスポート</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>ルールをインポート</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>ルールを JSON ファイルとしてバックアップおよび復元します。</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>サポートに問い合わせる</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>機能</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>%1 件のルールをインポートしました</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>インポートに失敗しました：%1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>ファイルが大きすぎるためインポートできません（%1 MB を超えています）。</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>このファイルは有効な Tolvane のルールバックアップではありません。</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>自動起動エントリを更新できませんでした：%1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>アップデートがあります</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 が利用可能です。現在のバージョンは %2 です。</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>後で</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>アップデート情報を読み込めませんでした。</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane はすでに実行中です。</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>システムトレイを利用できません。Tolvane はバックグラウンドで切り替えを続けます。</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>.desktop アプリケーションエントリを選択してください。</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>選択したファイルはアプリケーションエントリではありません。</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>キーボード</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>一時停止中</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>アプリケーションを選択</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>アプリケーションエントリ (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON ファイル (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>アプリケーションごとにキーボードレイアウトを切り替えます。オプションなしでは Tolvane を起動します（実行中の場合はその設定を開きます）。オプションを付けると、実行中の Tolvane に指示を送って終了します。</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>切り替えを一時停止します。一時停止中なら再開します。</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>切り替えを一時停止します。</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>切り替えを再開します。</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>設定ウインドウを開きます。必要なら Tolvane を起動します。</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>ルールファイルを読み込み直します。</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>バックエンド、一時停止中かどうか、最前面のアプリケーション、現在の入力ソース、ルールの数を表示します。</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>ルールで選択できる入力ソースを一覧表示します。</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>ルールで指定できる実行中のアプリケーションを一覧表示します。</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>--status と一覧を JSON で出力します。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>予期しない引数: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>オプションを1つだけ指定してください。</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json は --status、--list-input-sources、--list-applications と一緒に使います。</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>セッションバスがありません: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane は実行されていません。</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane は実行できませんでした: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>このコンピュータ上のファイルにのみ書き込めます。</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>書き出しに失敗しました</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>ルールを「%1」に書き出せませんでした: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>システムトレイ</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>システムトレイに国旗を表示</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>このディスプレイでは一時停止のショートカットを使えません。X サーバーに RECORD 拡張機能がありません。</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Linux デスクトップでのストレスのない入力のために。</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>アップデートフィードを読み込めませんでした: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>フィードのアドレス「%1」は https のアドレスではありません</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>フィードが %1 バイトを超えています</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>サーバーの応答は HTTP %1 でした</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>バージョンのない項目があります</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>バージョン %1 にダウンロードリンクがありません</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>バージョン %1 のダウンロードリンクが https ではありません</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>フィードが正しい XML ではありません (%1 行目: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>このドキュメントは RSS フィードではありません</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>フィードが文書型を宣言していますが、これは許可されていません</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>このデスクトップには自動起動の仕組みがありません</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>実行中のプログラムのパスがわかりません</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>「%1」を作成できません</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 は最新バージョンです。</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>アプリケーションを検索</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>アプリケーション</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>その他…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>プライバシー</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>匿名の使用統計を共有</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane は起動時にバージョン、システム、言語、画面の情報と、ウインドウの使用時間を TelemetryDeck に送信します。ルール、アプリケーション名、入力したテキストが送信されることは決してありません。</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>ルールを保存できませんでした。変更内容は Tolvane の実行中は保持され、次に変更したときに再度保存を試みます。</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane は既に実行中ですが応答しません。そのプロセスを終了してから、Tolvane をもう一度起動してください。</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>このデスクトップにはシステムトレイがないため、Tolvane のメニューは表示されません。Tolvane はバックグラウンドで切り替えを続けます。この設定をもう一度開くには、Tolvane を再度起動してください。</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>ルールのないアプリでは次を使用</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>デフォルトの入力ソース</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>そのアプリで最後に使った入力ソース</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>初めて使うアプリには、デフォルトの入力ソースが使われます。</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>Wayland では、アプリケーションがキーボードを監視することはできません。トレイメニューから一時停止・再開するか、コンポジターの設定に次の行を追加してください:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>環境変数 %1 が設定されている間はオフです。</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma がアプリごとに最後のキーボード配列を自動で復元するため、Tolvane の切り替えが元に戻されます。システム設定の「入力デバイス → キーボード → 配列」で「切り替えポリシー」を「グローバル」にしてください。</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma がウインドウごとに最後のキーボード配列を自動で復元するため、Tolvane の切り替えが元に戻されます。システム設定の「入力デバイス → キーボード → 配列」で「切り替えポリシー」を「グローバル」にしてください。</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>このデスクトップではまだ切り替えを利用できません。</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>Tolvane の GNOME Shell 拡張機能がインストールされていないため、Tolvane は前面のアプリケーションを認識できず、入力ソースも切り替えられません。Tolvane を再インストールし、ログアウトしてから再度ログインして、次のコマンドを実行してください: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell がまだ Tolvane の拡張機能を読み込んでいないため、何も切り替わりません。Wayland では、新しくインストールした拡張機能は一度ログアウトして再度ログインした後に読み込まれます。その後、次のコマンドを実行してください: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>Tolvane の GNOME Shell 拡張機能がオフになっているため、何も切り替わりません。次のコマンドでオンにしてください: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>Tolvane の GNOME Shell 拡張機能を起動できなかったため、何も切り替わりません: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME がウィンドウごとに別々の入力ソースを保持しているため、Tolvane の切り替えが元に戻されます。「設定 › キーボード」で「ウィンドウごとに入力ソースを切り替える」をオフにするか、次のコマンドを実行してください: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: 切り替えを一時停止・再開</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>Wayland では、アプリケーションがキーボードを監視することはできないため、KWin が Tolvane の代わりに切り替えを一時停止・再開します。ショートカットは Ctrl+Alt+P で、システム設定 › ショートカット › KWin（「Tolvane: 切り替えを一時停止・再開」）で変更できます。トレイメニューからも同じ操作ができます。</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>GNOME では、アプリケーションがキーボードを監視することはできません。トップバーの Tolvane のメニューから一時停止・再開するか、GNOME 設定 › キーボード › ショートカットの表示とカスタマイズ › カスタムショートカット で、次のコマンドを実行するショートカットを追加してください:</translation>
    </message>
</context>
</TS>
