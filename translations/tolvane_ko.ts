<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>설정...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>전환 일시 정지</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>전환 재개</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>종료</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>전환 일시 정지됨</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>전환 재개됨</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>입력 소스 변경됨</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>위쪽</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>가운데</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>아래쪽</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>가져오기 결과</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>시스템 기본값</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>로그인 시 실행</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>업데이트 확인</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>최신 버전을 사용 중입니다!</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>업데이트 사용 가능: </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>업데이트 확인 실패</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>규칙 관리</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>일반 설정</translation>
    </message>
    <message>
        <source>About</source>
        <translation>정보</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>손쉬운 사용 권한 필요</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>접근 허용</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>규칙</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>규칙 추가</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>규칙</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>아직 규칙이 없습니다</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>앱이 활성화될 때 입력 소스가 자동으로 전환되도록 규칙을 추가하세요.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>첫 번째 규칙 만들기</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>새 규칙 추가</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>대상 앱</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>실행 중인 앱</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>실행 중인 앱 선택</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>알 수 없음</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>선택됨:</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>응용 프로그램에서 선택...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>입력 소스</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>전환 대상</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>입력 소스 선택</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>오류</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>알 수 없는 오류가 발생했습니다</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>규칙 편집</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>사용</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>유효한 .app 파일을 선택하세요</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>선택한 응용 프로그램에 접근할 수 없습니다</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>응용 프로그램 번들을 읽을 수 없습니다. 유효한 macOS 앱을 선택하세요.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>언어</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>앱 언어</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>언어 변경 사항은 즉시 적용됩니다.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>시작</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>로그인할 때 자동으로 시작합니다.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>기본 동작</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>기본 입력 소스</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>없음 (아무것도 하지 않음)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>활성 앱과 일치하는 규칙이 없으면 이 입력 소스로 전환합니다.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>알림</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>시스템 알림 표시</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>입력 소스가 전환될 때 시스템 알림을 표시합니다.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>업데이트</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>웹사이트 방문</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>새 버전이 있는지 확인합니다.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>재설정</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>모든 설정 재설정</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>모든 설정을 기본값으로 되돌립니다. 규칙은 영향을 받지 않습니다.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>설정 재설정</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>모든 설정을 기본값으로 재설정하시겠습니까?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>시각적 표시기</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>입력 소스 표시기 보기</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>위치</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>표시 시간</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>입력 소스가 바뀔 때 화면에 떠 있는 표시기를 보여 줍니다.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>효과음</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>전환 시 사운드 재생</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>음량</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>사운드 테스트</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>입력 소스가 바뀔 때 은은한 사운드를 재생합니다.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>전역 단축키</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>전역 단축키 사용</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>일시 정지/재개</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>키보드 단축키로 자동 전환을 켜거나 끕니다.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>현재 입력 소스를 나타내는 국기 이모지를 표시합니다.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>백업 및 복원</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>규칙 내보내기</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>규칙 가져오기</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>규칙을 JSON 파일로 백업하고 복원합니다.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>지원팀에 문의</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>기능</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>규칙 %1개를 가져왔습니다</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>가져오기 실패: %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>파일이 너무 커서 가져올 수 없습니다(%1 MB 초과).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>유효한 Tolvane 규칙 백업 파일이 아닙니다.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>자동 시작 항목을 업데이트할 수 없습니다: %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>업데이트 사용 가능</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 버전을 사용할 수 있습니다. 현재 버전은 %2입니다.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>다운로드</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>나중에</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>업데이트 피드를 읽을 수 없습니다.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane이 이미 실행 중입니다.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>시스템 트레이를 사용할 수 없습니다. Tolvane은 백그라운드에서 계속 입력 소스를 전환합니다.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>.desktop 응용 프로그램 항목을 선택하세요.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>선택한 파일은 응용 프로그램 항목이 아닙니다.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>키보드</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>일시 정지됨</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>응용 프로그램 선택</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>응용 프로그램 항목 (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON 파일 (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>응용 프로그램별로 키보드 레이아웃을 전환합니다. 옵션 없이 실행하면 Tolvane을 시작합니다(이미 실행 중이면 그 설정을 엽니다). 옵션을 주면 실행 중인 Tolvane에 할 일을 알리고 종료합니다.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>전환을 일시 정지하거나, 일시 정지 중이면 재개합니다.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>전환을 일시 정지합니다.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>전환을 재개합니다.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>설정 창을 엽니다. 필요하면 Tolvane을 시작합니다.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>규칙 파일을 다시 읽습니다.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>백엔드, 일시 정지 여부, 맨 앞의 응용 프로그램, 현재 입력 소스, 규칙 수를 표시합니다.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>규칙이 선택할 수 있는 입력 소스를 나열합니다.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>규칙에 지정할 수 있는 실행 중인 응용 프로그램을 나열합니다.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>--status와 목록을 JSON으로 출력합니다.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>예상하지 못한 인수: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>옵션을 정확히 하나만 지정하십시오.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json은 --status, --list-input-sources 또는 --list-applications와 함께 사용합니다.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>세션 버스가 없습니다: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane이 실행 중이 아닙니다.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane이 이 작업을 수행하지 못했습니다: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>이 컴퓨터의 파일에만 쓸 수 있습니다.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>내보내기 실패</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>규칙을 “%1”(으)로 내보낼 수 없습니다: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>시스템 트레이</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>시스템 트레이에 국기 표시</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>이 디스플레이에서는 일시 정지 단축키가 작동할 수 없습니다. X 서버가 RECORD 확장을 제공하지 않습니다.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Linux 데스크톱에서 편안한 입력을 위해 설계되었습니다.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>업데이트 피드를 읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>피드 주소 “%1”은(는) https 주소가 아닙니다</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>피드가 %1바이트보다 큽니다</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>서버가 HTTP %1(으)로 응답했습니다</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>버전이 없는 항목이 있습니다</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>버전 %1에 다운로드 링크가 없습니다</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>버전 %1의 다운로드 링크가 https가 아닙니다</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>피드가 올바른 XML이 아닙니다(%1행: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>문서가 RSS 피드가 아닙니다</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>피드가 문서 유형을 선언하고 있으며, 이는 허용되지 않습니다</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>이 데스크톱에는 자동 시작 기능이 없습니다</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>실행 중인 프로그램의 경로를 알 수 없습니다</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>“%1”을(를) 만들 수 없습니다</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1이(가) 최신 버전입니다.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>응용 프로그램 검색</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>응용 프로그램</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>기타…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>선택</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>개인정보 보호</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>익명 사용 통계 공유</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane은 버전, 시스템, 언어, 화면 정보와 창 사용 시간을 담은 시작 신호를 TelemetryDeck에 보냅니다. 규칙, 앱 이름, 입력한 텍스트는 절대 보내지 않습니다.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>규칙을 저장할 수 없습니다. 변경 사항은 Tolvane이 실행되는 동안 유지되며, 다음 변경 시 다시 저장을 시도합니다.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane이 이미 실행 중이지만 응답하지 않습니다. 해당 프로세스를 종료한 다음 Tolvane을 다시 시작하세요.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>이 데스크톱에는 시스템 트레이가 없어 Tolvane 메뉴가 표시되지 않습니다. Tolvane은 백그라운드에서 계속 전환합니다. 이 설정을 다시 열려면 Tolvane을 다시 시작하세요.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>규칙이 없는 앱에서 사용할 소스</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>기본 입력 소스</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>해당 앱에서 마지막으로 사용한 소스</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>처음 사용하는 앱에는 기본 입력 소스가 적용됩니다.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>Wayland에서는 어떤 응용 프로그램도 키보드를 감시할 수 없습니다. 트레이 메뉴에서 일시 정지하고 재개하거나, 컴포지터 설정에 다음 줄을 추가하세요:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>환경 변수 %1이(가) 설정되어 있는 동안에는 꺼져 있습니다.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma가 앱마다 마지막 키보드 배열을 스스로 복원하여 Tolvane의 전환을 되돌립니다. 시스템 설정의 입력 장치 → 키보드 → 배열에서 “전환 정책”을 “전역”으로 설정하세요.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma가 창마다 마지막 키보드 배열을 스스로 복원하여 Tolvane의 전환을 되돌립니다. 시스템 설정의 입력 장치 → 키보드 → 배열에서 “전환 정책”을 “전역”으로 설정하세요.</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>이 데스크톱에서는 아직 전환을 사용할 수 없습니다.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>Tolvane의 GNOME Shell 확장이 설치되어 있지 않아 Tolvane이 앞에 있는 응용 프로그램을 알 수 없고 입력 소스도 전환할 수 없습니다. Tolvane을 다시 설치하고 로그아웃했다가 다시 로그인한 뒤 다음을 실행하세요: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell이 아직 Tolvane의 확장을 불러오지 않아 아무것도 전환되지 않습니다. Wayland에서는 새로 설치한 확장을 로그아웃했다가 다시 로그인한 뒤에야 불러옵니다. 그런 다음 실행하세요: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>Tolvane의 GNOME Shell 확장이 꺼져 있어 아무것도 전환되지 않습니다. 다음 명령으로 켜세요: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>Tolvane의 GNOME Shell 확장을 시작하지 못해 아무것도 전환되지 않습니다: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME이 창마다 별도의 입력 소스를 기억하여 Tolvane의 전환을 되돌립니다. 설정 › 키보드에서 “창마다 입력 소스를 따로 전환”을 끄거나 다음을 실행하세요: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: 전환 일시 정지 또는 재개</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>Wayland에서는 어떤 응용 프로그램도 키보드를 감시할 수 없으므로 KWin이 Tolvane 대신 전환을 일시 정지하고 재개합니다. 단축키는 Ctrl+Alt+P이며, 시스템 설정 › 단축키 › KWin(“Tolvane: 전환 일시 정지 또는 재개”)에서 바꿀 수 있습니다. 트레이 메뉴에서도 같은 일을 할 수 있습니다.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>GNOME에서는 어떤 응용 프로그램도 키보드를 감시할 수 없습니다. 상단 표시줄의 Tolvane 메뉴에서 일시 정지하고 재개하거나, GNOME 설정 › 키보드 › 단축키 보기 및 사용자 지정 › 사용자 지정 단축키에서 다음 명령을 실행하는 단축키를 추가하세요:</translation>
    </message>
</context>
</TS>
