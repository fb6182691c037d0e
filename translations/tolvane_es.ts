<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>Ajustes...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>Pausar el cambio</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>Reanudar el cambio</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>Cambio en pausa</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>Cambio reanudado</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>Fuente de entrada cambiada</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Arriba</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Abajo</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>Resultado de la importación</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Predeterminado del sistema</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Abrir al iniciar sesión</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Buscar actualizaciones</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>¡Ya tienes la versión más reciente!</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>Actualización disponible: </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>Error al buscar actualizaciones</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ajustes</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>Gestión de reglas</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>Ajustes generales</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Se requiere permiso de accesibilidad</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>Conceder acceso</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Reglas</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Añadir regla</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Regla</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>Aún no hay reglas</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>Añade una regla para cambiar automáticamente de fuente de entrada cuando una app esté activa.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>Crear la primera regla</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>Añadir nueva regla</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>App de destino</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>Apps en ejecución</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>Seleccionar app en ejecución</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconocido</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Selección:</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>Elegir entre las aplicaciones...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>Fuente de entrada</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>Cambiar a</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>Seleccionar fuente de entrada</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>Se ha producido un error desconocido</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>Editar regla</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Activada</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>Selecciona un archivo .app válido</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>No se puede acceder a la aplicación seleccionada</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>No se puede leer el paquete de la aplicación. Selecciona una app de macOS válida.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>Idioma de la app</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>Los cambios de idioma se aplican de inmediato.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>Se abre automáticamente al iniciar sesión.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>Comportamiento predeterminado</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>Fuente de entrada predeterminada</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>Ninguna (no hacer nada)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>Si ninguna regla coincide con la app activa, se cambia a esta fuente de entrada.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notificaciones</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>Mostrar notificación del sistema</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>Muestra una notificación del sistema cuando cambia la fuente de entrada.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Actualizaciones</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Visitar el sitio web</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>Comprueba si hay una nueva versión disponible.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Restablecer</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>Restablecer todos los ajustes</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>Restablece todos los ajustes a sus valores predeterminados. Las reglas no se modificarán.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Restablecer ajustes</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>¿Seguro que quieres restablecer todos los ajustes a sus valores predeterminados?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>Indicador visual</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Mostrar indicador de fuente de entrada</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Posición</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>Duración en pantalla</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>Muestra un indicador flotante cuando cambia la fuente de entrada.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>Efectos de sonido</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>Reproducir sonido al cambiar</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>Probar sonido</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>Reproduce un sonido discreto cuando cambia la fuente de entrada.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>Atajo global</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>Activar atajo global</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>Pausar/Reanudar</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>Usa un atajo de teclado para activar o desactivar el cambio automático.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>Muestra el emoji de la bandera del país de la fuente de entrada actual.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>Copia de seguridad y restauración</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>Exportar reglas</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>Importar reglas</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>Guarda y restaura tus reglas como archivos JSON.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>Contactar con soporte</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>Funciones</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>%1 reglas importadas correctamente</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Error al importar: %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>El archivo es demasiado grande para importarlo (más de %1 MB).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>El archivo no es una copia de seguridad de reglas de Tolvane válida.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>No se pudo actualizar la entrada de inicio automático: %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Actualización disponible</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 ya está disponible. Tienes la versión %2.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Más tarde</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>No se pudo leer el canal de actualizaciones.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane ya se está ejecutando.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>No hay bandeja del sistema disponible; Tolvane sigue cambiando en segundo plano.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>Elige una entrada de aplicación .desktop.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>El archivo elegido no es una entrada de aplicación.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Teclado</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pausa</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>Elegir una aplicación</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>Entradas de aplicación (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>Archivos JSON (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>Cambia la distribución del teclado según la aplicación. Sin opciones, inicia Tolvane (o abre los ajustes de la instancia en ejecución); con una opción, indica al Tolvane en ejecución qué hacer y termina.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>Pausar el cambio, o reanudarlo si está en pausa.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>Pausar el cambio.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>Reanudar el cambio.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>Abrir la ventana de ajustes, iniciando Tolvane si hace falta.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>Volver a leer el archivo de reglas.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>Mostrar el backend, si el cambio está en pausa, la aplicación en primer plano, la fuente de entrada actual y el número de reglas.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>Listar las fuentes de entrada que puede seleccionar una regla.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>Listar las aplicaciones en ejecución que puede nombrar una regla.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>Mostrar --status y las listas en formato JSON.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argumento inesperado: %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>Indica exactamente una opción.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json va con --status, --list-input-sources o --list-applications.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>No hay bus de sesión: %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane no se está ejecutando.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane no pudo hacerlo: %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>Solo se pueden escribir archivos de este equipo.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Error al exportar</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>No se pudieron exportar las reglas a «%1»: %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Bandeja del sistema</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>Mostrar bandera en la bandeja del sistema</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>El atajo de pausa no puede funcionar en esta pantalla: el servidor X no ofrece la extensión RECORD.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Diseñado para escribir sin esfuerzo en el escritorio Linux.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>No se pudo leer el canal de actualizaciones: %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>la dirección del canal «%1» no es una dirección https</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>el canal ocupa más de %1 bytes</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>el servidor respondió HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>un elemento no tiene versión</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>la versión %1 no tiene enlace de descarga</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>la versión %1 tiene un enlace de descarga que no es https</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>el canal no es XML bien formado (línea %1: %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>el documento no es un canal RSS</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>el canal declara un tipo de documento, lo cual no está permitido</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>este escritorio no tiene servicio de inicio automático</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>se desconoce la ruta del programa en ejecución</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>no se puede crear «%1»</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 es la versión más reciente.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>Buscar aplicaciones</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Aplicaciones</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Otra…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Elegir</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacidad</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>Compartir estadísticas de uso anónimas</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane envía a TelemetryDeck una señal de inicio con su versión, tu sistema, idioma y pantalla, y el tiempo que se usan sus ventanas; nunca se envía ninguna regla, nombre de aplicación ni texto escrito.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>No se pudieron guardar las reglas. Tus cambios se conservan mientras Tolvane esté en ejecución y se volverá a intentar guardarlos con el próximo cambio.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane ya se está ejecutando pero no responde; finalice ese proceso y vuelva a iniciar Tolvane.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>Este escritorio no tiene bandeja del sistema, así que Tolvane no tiene menú allí. Sigue cambiando en segundo plano; para volver a abrir estos ajustes, inicie Tolvane de nuevo.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>Para las apps sin regla, usar</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>la fuente de entrada predeterminada</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>la última fuente usada en esa app</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>Una app que aparece por primera vez recibe la fuente de entrada predeterminada.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>En Wayland ninguna aplicación puede observar el teclado. Pausa y reanuda desde el menú de la bandeja, o añade esta línea a la configuración de tu compositor:</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>Desactivado mientras la variable de entorno %1 esté definida.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma restaura por su cuenta la última distribución de teclado de cada aplicación y deshace los cambios de Tolvane. En Preferencias del sistema, Dispositivos de entrada → Teclado → Distribuciones, ajuste «Política de cambio» a «Global».</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma restaura por su cuenta la última distribución de teclado de cada ventana y deshace los cambios de Tolvane. En Preferencias del sistema, Dispositivos de entrada → Teclado → Distribuciones, ajuste «Política de cambio» a «Global».</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Descartar</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>El cambio todavía no está disponible en este escritorio.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>La extensión de GNOME Shell de Tolvane no está instalada, así que Tolvane no puede ver qué aplicación está en primer plano ni cambiar las fuentes de entrada. Vuelva a instalar Tolvane, cierre la sesión y vuelva a iniciarla, y después ejecute: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell aún no ha cargado la extensión de Tolvane, así que no se cambia nada. En Wayland, GNOME Shell carga una extensión recién instalada solo después de cerrar la sesión y volver a iniciarla. Después ejecute: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>La extensión de GNOME Shell de Tolvane está desactivada, así que no se cambia nada. Actívela con: gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>La extensión de GNOME Shell de Tolvane no pudo iniciarse, así que no se cambia nada: %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME guarda una fuente de entrada distinta para cada ventana, lo que deshace los cambios de Tolvane. Desactive «Cambiar las fuentes de entrada individualmente para cada ventana» en Configuración › Teclado o ejecute: gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane: pausar o reanudar el cambio</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>En Wayland ninguna aplicación puede observar el teclado, así que KWin pausa y reanuda el cambio por Tolvane: con Ctrl+Alt+P, salvo que lo cambies en Preferencias del sistema › Atajos de teclado › KWin («Tolvane: pausar o reanudar el cambio»). El menú de la bandeja hace lo mismo.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>En GNOME ninguna aplicación puede observar el teclado. Pausa y reanuda desde el menú de Tolvane en la barra superior, o añade un atajo que ejecute este comando en Configuración de GNOME › Teclado › Ver y personalizar atajos › Atajos personalizados:</translation>
    </message>
</context>
</TS>
