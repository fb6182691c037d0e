<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>Configurações...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>Pausar alternância</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>Retomar alternância</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>Alternância pausada</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>Alternância retomada</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>Fonte de entrada alterada</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Superior</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Inferior</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>Resultado da importação</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Padrão do sistema</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Abrir ao iniciar sessão</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Verificar atualizações</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>Tudo atualizado!</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>Atualização disponível: </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>Falha ao verificar atualizações</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>Gerenciamento de regras</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>Configurações gerais</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Permissão de acessibilidade necessária</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>Conceder acesso</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Regras</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Adicionar regra</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Regra</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>Nenhuma regra ainda</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>Adicione uma regra para alternar automaticamente a fonte de entrada quando um app estiver ativo.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>Criar primeira regra</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>Adicionar nova regra</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>App de destino</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>Apps em execução</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>Selecionar app em execução</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconhecido</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Selecionado:</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>Escolher entre os aplicativos...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>Fonte de entrada</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>Alternar para</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>Selecionar fonte de entrada</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>Ocorreu um erro desconhecido</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>Editar regra</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Ativada</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>Selecione um arquivo .app válido</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>Não foi possível acessar o aplicativo selecionado</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>Não foi possível ler o pacote do aplicativo. Selecione um app do macOS válido.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>Idioma do app</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>As alterações de idioma entram em vigor imediatamente.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Inicialização</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>Abre automaticamente quando você inicia a sessão.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>Comportamento padrão</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>Fonte de entrada padrão</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>Nenhuma (não fazer nada)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>Se nenhuma regra corresponder ao app ativo, alterna para esta fonte de entrada.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notificações</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>Mostrar notificação do sistema</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>Mostra uma notificação do sistema quando a fonte de entrada muda.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Atualizações</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Visitar site</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>Verifica se há uma nova versão disponível.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Redefinir</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>Redefinir todas as configurações</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>Redefine todas as configurações para os valores padrão. As regras não serão afetadas.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Redefinir configurações</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>Tem certeza de que deseja redefinir todas as configurações para os valores padrão?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>Indicador visual</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Mostrar indicador de fonte de entrada</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Posição</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>Duração da exibição</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>Mostra um indicador flutuante quando a fonte de entrada muda.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>Efeitos sonoros</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>Tocar som ao alternar</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>Testar som</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>Toca um som discreto quando a fonte de entrada muda.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>Atalho global</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>Ativar atalho global</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>Pausar/Retomar</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>Use um atalho de teclado para ativar ou desativar a alternância automática.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>Exibe o emoji da bandeira do país da fonte de entrada atual.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>Backup e restauração</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>Exportar regras</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>Importar regras</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>Faça backup e restaure suas regras como arquivos JSON.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>Falar com o suporte</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>Recursos</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>%1 regras importadas com sucesso</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Falha na importação: %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>O arquivo é grande demais para ser importado (mais de %1 MB).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>O arquivo não é um backup de regras do Tolvane válido.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>Não foi possível atualizar a entrada de inicialização automática: %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Atualização disponível</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>O Tolvane %1 está disponível. Você tem a versão %2.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Baixar</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Mais tarde</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>Não foi possível ler o feed de atualizações.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>O Tolvane já está em execução.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>Nenhuma bandeja do sistema disponível; o Tolvane continua alternando em segundo plano.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>Escolha uma entrada de aplicativo .desktop.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>O arquivo escolhido não é uma entrada de aplicativo.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Teclado</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausado</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>Escolher um aplicativo</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>Entradas de aplicativo (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>Arquivos JSON (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>Alterna o layout do teclado por aplicativo. Sem opções, inicia o Tolvane (ou abre os ajustes da instância em execução); com uma opção, diz ao Tolvane em execução o que fazer e termina.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>Pausar a alternância, ou retomá-la se estiver pausada.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>Pausar a alternância.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>Retomar a alternância.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>Abrir a janela de ajustes, iniciando o Tolvane se necessário.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>Ler o arquivo de regras novamente.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>Mostrar o backend, se a alternância está pausada, o aplicativo em primeiro plano, a fonte de entrada atual e o número de regras.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>Listar as fontes de entrada que uma regra pode selecionar.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>Listar os aplicativos em execução que uma regra pode indicar.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>Mostrar --status e as listas em JSON.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argumento inesperado: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>Informe exatamente uma opção.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json acompanha --status, --list-input-sources ou --list-applications.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>Nenhum barramento de sessão: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>O Tolvane não está em execução.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>O Tolvane não conseguiu fazer isso: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>Só é possível gravar arquivos neste computador.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Falha na exportação</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>Não foi possível exportar as regras para “%1”: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Bandeja do sistema</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>Mostrar bandeira na bandeja do sistema</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>O atalho de pausa não pode funcionar nesta tela: o servidor X não oferece a extensão RECORD.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Feito para digitar sem esforço no desktop Linux.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>Não foi possível ler o feed de atualizações: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>o endereço do feed “%1” não é um endereço https</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>o feed tem mais de %1 bytes</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>o servidor respondeu HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>um item não tem versão</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>a versão %1 não tem link de download</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>a versão %1 tem um link de download que não é https</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>o feed não é um XML bem formado (linha %1: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>o documento não é um feed RSS</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>o feed declara um tipo de documento, o que não é permitido</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>este desktop não tem serviço de inicialização automática</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>o caminho do programa em execução é desconhecido</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>não é possível criar “%1”</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 é a versão mais recente.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>Pesquisar aplicativos</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Aplicativos</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Outro…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Escolher</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacidade</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>Compartilhar estatísticas de uso anônimas</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>O Tolvane envia ao TelemetryDeck um sinal de início com sua versão, seu sistema, idioma e tela, e por quanto tempo suas janelas são usadas; nenhuma regra, nome de app ou texto digitado é enviado.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>Não foi possível salvar as regras. Suas alterações são mantidas enquanto o Tolvane estiver em execução, e o salvamento será tentado novamente na próxima alteração.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>O Tolvane já está em execução, mas não responde; encerre esse processo e inicie o Tolvane novamente.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>Esta área de trabalho não tem bandeja do sistema, por isso o Tolvane não tem menu nela. Ele continua alternando em segundo plano; para abrir estes ajustes novamente, inicie o Tolvane outra vez.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>Para apps sem regra, usar</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>a fonte de entrada padrão</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>a última fonte usada nesse app</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>Um app usado pela primeira vez recebe a fonte de entrada padrão.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>No Wayland nenhum aplicativo pode observar o teclado. Pause e retome pelo menu da bandeja ou adicione esta linha à configuração do seu compositor:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>Desativado enquanto a variável de ambiente %1 estiver definida.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>O KDE Plasma restaura por conta própria o último layout de teclado de cada aplicativo e desfaz as trocas do Tolvane. Em Configurações do sistema, Dispositivos de entrada → Teclado → Layouts, defina “Política de troca” como “Global”.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>O KDE Plasma restaura por conta própria o último layout de teclado de cada janela e desfaz as trocas do Tolvane. Em Configurações do sistema, Dispositivos de entrada → Teclado → Layouts, defina “Política de troca” como “Global”.</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Dispensar</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>A troca ainda não está disponível neste ambiente de trabalho.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>A extensão do GNOME Shell do Tolvane não está instalada, por isso o Tolvane não consegue ver qual aplicativo está em primeiro plano nem trocar as fontes de entrada. Instale o Tolvane novamente, saia da sessão e entre de novo e depois execute: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>O GNOME Shell ainda não carregou a extensão do Tolvane, por isso nada é trocado. No Wayland, o GNOME Shell só carrega uma extensão recém-instalada depois que você sai da sessão e entra de novo. Depois execute: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>A extensão do GNOME Shell do Tolvane está desativada, por isso nada é trocado. Ative-a com: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>A extensão do GNOME Shell do Tolvane não pôde iniciar, por isso nada é trocado: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>O GNOME guarda uma fonte de entrada separada para cada janela, o que desfaz as trocas do Tolvane. Desative “Alternar fontes de entrada individualmente para cada janela” em Configurações › Teclado ou execute: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: pausar ou retomar alternância</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>No Wayland nenhum aplicativo pode observar o teclado, então o KWin pausa e retoma a alternância pelo Tolvane: com Ctrl+Alt+P, a menos que você mude isso em Configurações do sistema › Atalhos › KWin (“Tolvane: pausar ou retomar alternância”). O menu da bandeja faz o mesmo.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>No GNOME nenhum aplicativo pode observar o teclado. Pause e retome pelo menu do Tolvane na barra superior ou adicione um atalho que execute este comando em Configurações do GNOME › Teclado › Ver e personalizar atalhos › Atalhos personalizados:</translation>
    </message>
</context>
</TS>
