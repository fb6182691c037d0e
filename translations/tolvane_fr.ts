<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Tolvane</name>
    <message>
        <source>Settings...</source>
        <translation>Paramètres...</translation>
    </message>
    <message>
        <source>Pause Switching</source>
        <translation>Suspendre le basculement</translation>
    </message>
    <message>
        <source>Resume Switching</source>
        <translation>Reprendre le basculement</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Switching Paused</source>
        <translation>Basculement suspendu</translation>
    </message>
    <message>
        <source>Switching Resumed</source>
        <translation>Basculement repris</translation>
    </message>
    <message>
        <source>Input Source Changed</source>
        <translation>Source de saisie modifiée</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Haut</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Bas</translation>
    </message>
    <message>
        <source>Import Result</source>
        <translation>Résultat de l’importation</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Langue du système</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Rechercher des mises à jour</translation>
    </message>
    <message>
        <source>You're up to date!</source>
        <translation>Vous êtes à jour !</translation>
    </message>
    <message>
        <source>Update available: </source>
        <translation>Mise à jour disponible : </translation>
    </message>
    <message>
        <source>Update check failed</source>
        <translation>Échec de la recherche de mises à jour</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Rule Management</source>
        <translation>Gestion des règles</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>Paramètres généraux</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Accessibility Permission Required</source>
        <translation>Autorisation d’accessibilité requise</translation>
    </message>
    <message>
        <source>Grant Access</source>
        <translation>Autoriser l’accès</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Règles</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Ajouter une règle</translation>
    </message>
    <message>
        <source>Rule</source>
        <translation>Règle</translation>
    </message>
    <message>
        <source>No Rules Yet</source>
        <translation>Aucune règle pour l’instant</translation>
    </message>
    <message>
        <source>Add a rule to automatically switch input sources when an app is active.</source>
        <translation>Ajoutez une règle pour changer automatiquement de source de saisie lorsqu’une app est active.</translation>
    </message>
    <message>
        <source>Create First Rule</source>
        <translation>Créer la première règle</translation>
    </message>
    <message>
        <source>Add New Rule</source>
        <translation>Nouvelle règle</translation>
    </message>
    <message>
        <source>Target App</source>
        <translation>App cible</translation>
    </message>
    <message>
        <source>Running Apps</source>
        <translation>Apps ouvertes</translation>
    </message>
    <message>
        <source>Select Running App</source>
        <translation>Choisir une app ouverte</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Sélection :</translation>
    </message>
    <message>
        <source>Choose from Applications...</source>
        <translation>Choisir parmi les applications...</translation>
    </message>
    <message>
        <source>Input Source</source>
        <translation>Source de saisie</translation>
    </message>
    <message>
        <source>Switch To</source>
        <translation>Basculer vers</translation>
    </message>
    <message>
        <source>Select Input Source</source>
        <translation>Choisir une source de saisie</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Unknown error occurred</source>
        <translation>Une erreur inconnue s’est produite</translation>
    </message>
    <message>
        <source>Edit Rule</source>
        <translation>Modifier la règle</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Activée</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Please select a valid .app file</source>
        <translation>Veuillez sélectionner un fichier .app valide</translation>
    </message>
    <message>
        <source>Unable to access the selected application</source>
        <translation>Impossible d’accéder à l’application sélectionnée</translation>
    </message>
    <message>
        <source>Unable to read application bundle. Please select a valid macOS app.</source>
        <translation>Impossible de lire le paquet de l’application. Veuillez sélectionner une app macOS valide.</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>App Language</source>
        <translation>Langue de l’app</translation>
    </message>
    <message>
        <source>Language changes take effect immediately.</source>
        <translation>Les changements de langue s’appliquent immédiatement.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Démarrage</translation>
    </message>
    <message>
        <source>Automatically start when you log in.</source>
        <translation>Démarre automatiquement à l’ouverture de session.</translation>
    </message>
    <message>
        <source>Fallback Behavior</source>
        <translation>Comportement par défaut</translation>
    </message>
    <message>
        <source>Default Input Source</source>
        <translation>Source de saisie par défaut</translation>
    </message>
    <message>
        <source>None (Do nothing)</source>
        <translation>Aucune (ne rien faire)</translation>
    </message>
    <message>
        <source>If no rule matches the active app, switch to this input source.</source>
        <translation>Si aucune règle ne correspond à l’app active, cette source de saisie est sélectionnée.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Show System Notification</source>
        <translation>Afficher une notification système</translation>
    </message>
    <message>
        <source>Show a system notification when input source switches.</source>
        <translation>Affiche une notification système lorsque la source de saisie change.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Mises à jour</translation>
    </message>
    <message>
        <source>Visit Website</source>
        <translation>Visiter le site web</translation>
    </message>
    <message>
        <source>Check if a new version is available.</source>
        <translation>Vérifie si une nouvelle version est disponible.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Reset All Settings</source>
        <translation>Réinitialiser tous les paramètres</translation>
    </message>
    <message>
        <source>Reset all settings to default values. Rules will not be affected.</source>
        <translation>Rétablit les valeurs par défaut de tous les paramètres. Les règles ne sont pas modifiées.</translation>
    </message>
    <message>
        <source>Reset Settings</source>
        <translation>Réinitialiser les paramètres</translation>
    </message>
    <message>
        <source>Are you sure you want to reset all settings to default values?</source>
        <translation>Voulez-vous vraiment rétablir les valeurs par défaut de tous les paramètres ?</translation>
    </message>
    <message>
        <source>Visual Indicator</source>
        <translation>Indicateur visuel</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Afficher l’indicateur de source de saisie</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Display Duration</source>
        <translation>Durée d’affichage</translation>
    </message>
    <message>
        <source>Shows a floating indicator when input source changes.</source>
        <translation>Affiche un indicateur flottant lorsque la source de saisie change.</translation>
    </message>
    <message>
        <source>Sound Effects</source>
        <translation>Effets sonores</translation>
    </message>
    <message>
        <source>Play Sound on Switch</source>
        <translation>Jouer un son au changement</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Test Sound</source>
        <translation>Tester le son</translation>
    </message>
    <message>
        <source>Plays a subtle sound when input source changes.</source>
        <translation>Joue un son discret lorsque la source de saisie change.</translation>
    </message>
    <message>
        <source>Global Hotkey</source>
        <translation>Raccourci global</translation>
    </message>
    <message>
        <source>Enable Global Hotkey</source>
        <translation>Activer le raccourci global</translation>
    </message>
    <message>
        <source>Pause/Resume</source>
        <translation>Suspendre/Reprendre</translation>
    </message>
    <message>
        <source>Use keyboard shortcut to toggle auto-switching on/off.</source>
        <translation>Active ou désactive le basculement automatique à l’aide d’un raccourci clavier.</translation>
    </message>
    <message>
        <source>Display country flag emoji representing current input source.</source>
        <translation>Affiche l’emoji du drapeau du pays correspondant à la source de saisie actuelle.</translation>
    </message>
    <message>
        <source>Backup &amp; Restore</source>
        <translation>Sauvegarde et restauration</translation>
    </message>
    <message>
        <source>Export Rules</source>
        <translation>Exporter les règles</translation>
    </message>
    <message>
        <source>Import Rules</source>
        <translation>Importer des règles</translation>
    </message>
    <message>
        <source>Backup and restore your rules as JSON files.</source>
        <translation>Sauvegardez et restaurez vos règles sous forme de fichiers JSON.</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>Tolvane</translation>
    </message>
    <message>
        <source>Contact Support</source>
        <translation>Contacter l’assistance</translation>
    </message>
    <message>
        <source>Features</source>
        <translation>Fonctionnalités</translation>
    </message>
    <message>
        <source>Successfully imported %1 rules</source>
        <translation>%1 règles importées avec succès</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Échec de l’importation : %1</translation>
    </message>
    <message>
        <source>The file is too large to import (over %1 MB).</source>
        <translation>Le fichier est trop volumineux pour être importé (plus de %1 Mo).</translation>
    </message>
    <message>
        <source>The file is not a valid Tolvane rules backup.</source>
        <translation>Le fichier n’est pas une sauvegarde de règles Tolvane valide.</translation>
    </message>
    <message>
        <source>Could not update the autostart entry: %1</source>
        <translation>Impossible de mettre à jour l’entrée de démarrage automatique : %1</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Mise à jour disponible</translation>
    </message>
    <message>
        <source>Tolvane %1 is available. You have version %2.</source>
        <translation>Tolvane %1 est disponible. Vous disposez de la version %2.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Plus tard</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>Impossible de lire le flux de mises à jour.</translation>
    </message>
    <message>
        <source>Tolvane is already running.</source>
        <translation>Tolvane est déjà en cours d’exécution.</translation>
    </message>
    <message>
        <source>No system tray is available; Tolvane keeps switching in the background.</source>
        <translation>Aucune zone de notification n’est disponible ; Tolvane continue de basculer en arrière-plan.</translation>
    </message>
    <message>
        <source>Please choose a .desktop application entry.</source>
        <translation>Veuillez choisir une entrée d’application .desktop.</translation>
    </message>
    <message>
        <source>The chosen file is not an application entry.</source>
        <translation>Le fichier choisi n’est pas une entrée d’application.</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Clavier</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pause</translation>
    </message>
    <message>
        <source>Choose an application</source>
        <translation>Choisir une application</translation>
    </message>
    <message>
        <source>Application entries (*.desktop)</source>
        <translation>Entrées d’application (*.desktop)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>Fichiers JSON (*.json)</translation>
    </message>
    <message>
        <source>Switches the keyboard layout per application. Without options, starts Tolvane (or opens the settings of the running one); with an option, tells the running Tolvane what to do and ends.</source>
        <translation>Change la disposition du clavier selon l’application. Sans option, démarre Tolvane (ou ouvre les réglages de l’instance en cours) ; avec une option, indique au Tolvane en cours quoi faire, puis se termine.</translation>
    </message>
    <message>
        <source>Pause switching, or resume it when paused.</source>
        <translation>Suspendre le changement, ou le reprendre s’il est suspendu.</translation>
    </message>
    <message>
        <source>Pause switching.</source>
        <translation>Suspendre le changement.</translation>
    </message>
    <message>
        <source>Resume switching.</source>
        <translation>Reprendre le changement.</translation>
    </message>
    <message>
        <source>Open the settings window, starting Tolvane if needed.</source>
        <translation>Ouvrir la fenêtre des réglages, en démarrant Tolvane si nécessaire.</translation>
    </message>
    <message>
        <source>Read the rules file again.</source>
        <translation>Relire le fichier des règles.</translation>
    </message>
    <message>
        <source>Show the backend, whether switching is paused, the application in front, the current input source and the number of rules.</source>
        <translation>Afficher le backend, si le changement est suspendu, l’application au premier plan, la source de saisie actuelle et le nombre de règles.</translation>
    </message>
    <message>
        <source>List the input sources a rule can select.</source>
        <translation>Lister les sources de saisie qu’une règle peut sélectionner.</translation>
    </message>
    <message>
        <source>List the running applications a rule can name.</source>
        <translation>Lister les applications en cours qu’une règle peut nommer.</translation>
    </message>
    <message>
        <source>Print --status and the lists as JSON.</source>
        <translation>Afficher --status et les listes en JSON.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Argument inattendu : %1</translation>
    </message>
    <message>
        <source>Give exactly one option.</source>
        <translation>Indiquez exactement une option.</translation>
    </message>
    <message>
        <source>--json goes with --status, --list-input-sources or --list-applications.</source>
        <translation>--json s’utilise avec --status, --list-input-sources ou --list-applications.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>Aucun bus de session : %1</translation>
    </message>
    <message>
        <source>Tolvane is not running.</source>
        <translation>Tolvane n’est pas en cours d’exécution.</translation>
    </message>
    <message>
        <source>Tolvane did not do it: %1</source>
        <translation>Tolvane n’a pas pu le faire : %1</translation>
    </message>
    <message>
        <source>Only files on this computer can be written.</source>
        <translation>Seuls les fichiers de cet ordinateur peuvent être écrits.</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Échec de l’exportation</translation>
    </message>
    <message>
        <source>The rules could not be exported to “%1”: %2</source>
        <translation>Impossible d’exporter les règles vers « %1 » : %2</translation>
    </message>
    <message>
        <source>Tray</source>
        <translation>Zone de notification</translation>
    </message>
    <message>
        <source>Show Flag in Tray</source>
        <translation>Afficher le drapeau dans la zone de notification</translation>
    </message>
    <message>
        <source>The pause hotkey cannot work on this display: the X server does not offer the RECORD extension.</source>
        <translation>Le raccourci de pause ne peut pas fonctionner sur cet affichage : le serveur X ne propose pas l’extension RECORD.</translation>
    </message>
    <message>
        <source>Designed for effortless typing on the Linux desktop.</source>
        <translation>Conçu pour une saisie sans effort sur le bureau Linux.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1</source>
        <translation>Impossible de lire le flux de mises à jour : %1</translation>
    </message>
    <message>
        <source>the feed address “%1” is not an https address</source>
        <translation>l’adresse du flux « %1 » n’est pas une adresse https</translation>
    </message>
    <message>
        <source>the feed is larger than %1 bytes</source>
        <translation>le flux dépasse %1 octets</translation>
    </message>
    <message>
        <source>the server answered HTTP %1</source>
        <translation>le serveur a répondu HTTP %1</translation>
    </message>
    <message>
        <source>an item has no version</source>
        <translation>un élément n’a pas de version</translation>
    </message>
    <message>
        <source>version %1 has no download link</source>
        <translation>la version %1 n’a pas de lien de téléchargement</translation>
    </message>
    <message>
        <source>version %1 has a download link that is not https</source>
        <translation>la version %1 a un lien de téléchargement qui n’est pas en https</translation>
    </message>
    <message>
        <source>the feed is not well-formed XML (line %1: %2)</source>
        <translation>le flux n’est pas du XML bien formé (ligne %1 : %2)</translation>
    </message>
    <message>
        <source>the document is not an RSS feed</source>
        <translation>le document n’est pas un flux RSS</translation>
    </message>
    <message>
        <source>the feed declares a document type, which is not allowed</source>
        <translation>le flux déclare un type de document, ce qui n’est pas autorisé</translation>
    </message>
    <message>
        <source>this desktop has no autostart service</source>
        <translation>ce bureau n’a pas de service de démarrage automatique</translation>
    </message>
    <message>
        <source>the path of the running program is unknown</source>
        <translation>le chemin du programme en cours est inconnu</translation>
    </message>
    <message>
        <source>“%1” cannot be created</source>
        <translation>impossible de créer « %1 »</translation>
    </message>
    <message>
        <source>Tolvane %1 is the latest version.</source>
        <translation>Tolvane %1 est la version la plus récente.</translation>
    </message>
    <message>
        <source>Search Applications</source>
        <translation>Rechercher des applications</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Applications</translation>
    </message>
    <message>
        <source>Other…</source>
        <translation>Autre…</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Confidentialité</translation>
    </message>
    <message>
        <source>Share anonymous usage statistics</source>
        <translation>Partager des statistiques d’utilisation anonymes</translation>
    </message>
    <message>
        <source>Tolvane sends TelemetryDeck a start signal with its version, your system, language and screen, and how long its windows are in use; no rule, application name or typed text is ever sent.</source>
        <translation>Tolvane envoie à TelemetryDeck un signal de démarrage avec sa version, votre système, votre langue et votre écran, ainsi que la durée d’utilisation de ses fenêtres ; aucune règle, aucun nom d’application ni aucun texte saisi n’est jamais envoyé.</translation>
    </message>
    <message>
        <source>The rules could not be saved. Your changes are kept while Tolvane runs, and saving is tried again with the next change.</source>
        <translation>Les règles n’ont pas pu être enregistrées. Vos modifications sont conservées tant que Tolvane fonctionne, et l’enregistrement sera retenté à la prochaine modification.</translation>
    </message>
    <message>
        <source>Tolvane is already running but does not respond; end that process, then start Tolvane again.</source>
        <translation>Tolvane est déjà en cours d’exécution mais ne répond pas ; terminez ce processus, puis relancez Tolvane.</translation>
    </message>
    <message>
        <source>There is no system tray on this desktop, so Tolvane has no menu there. It keeps switching in the background; to open these settings again, start Tolvane again.</source>
        <translation>Ce bureau n’a pas de zone de notification, Tolvane n’y a donc pas de menu. Il continue de basculer en arrière-plan ; pour rouvrir ces réglages, relancez Tolvane.</translation>
    </message>
    <message>
        <source>For applications without a rule, use</source>
        <translation>Pour les apps sans règle, utiliser</translation>
    </message>
    <message>
        <source>the default input source</source>
        <translation>la source de saisie par défaut</translation>
    </message>
    <message>
        <source>the source last used in that application</source>
        <translation>la dernière source utilisée dans cette app</translation>
    </message>
    <message>
        <source>An application seen for the first time gets the default input source.</source>
        <translation>Une app vue pour la première fois reçoit la source de saisie par défaut.</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard. Pause and resume from the tray menu, or add this line to your compositor's configuration:</source>
        <translation>Sous Wayland, aucune application ne peut surveiller le clavier. Mettez en pause et reprenez depuis le menu de la zone de notification, ou ajoutez cette ligne à la configuration de votre compositeur :</translation>
    </message>
    <message>
        <source>Off while the environment variable %1 is set.</source>
        <translation>Désactivé tant que la variable d’environnement %1 est définie.</translation>
    </message>
    <message>
        <source>KDE Plasma restores each application's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma rétablit de lui-même la dernière disposition de clavier de chaque application et annule les changements de Tolvane. Dans la Configuration du système, Périphériques d’entrée → Clavier → Dispositions, réglez « Politique de changement » sur « Globale ».</translation>
    </message>
    <message>
        <source>KDE Plasma restores each window's last keyboard layout by itself and undoes Tolvane's switches. In System Settings, Input Devices → Keyboard → Layouts, set “Switching policy” to “Global”.</source>
        <translation>KDE Plasma rétablit de lui-même la dernière disposition de clavier de chaque fenêtre et annule les changements de Tolvane. Dans la Configuration du système, Périphériques d’entrée → Clavier → Dispositions, réglez « Politique de changement » sur « Globale ».</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>Switching is not available on this desktop yet.</source>
        <translation>Le changement n’est pas encore disponible sur ce bureau.</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is not installed, so Tolvane can neither see which application is in front nor switch input sources. Install Tolvane again, log out and back in, then run: gnome-extensions enable %1</source>
        <translation>L’extension GNOME Shell de Tolvane n’est pas installée : Tolvane ne peut ni voir quelle application est au premier plan ni changer de source de saisie. Réinstallez Tolvane, fermez la session puis rouvrez-la, et exécutez ensuite : gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>GNOME Shell has not loaded Tolvane's extension yet, so nothing is switched. On Wayland, GNOME Shell loads a newly installed extension only after you log out and back in. Then run: gnome-extensions enable %1</source>
        <translation>GNOME Shell n’a pas encore chargé l’extension de Tolvane : rien n’est changé. Sous Wayland, GNOME Shell ne charge une extension nouvellement installée qu’après une nouvelle ouverture de session. Exécutez ensuite : gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension is turned off, so nothing is switched. Turn it on with: gnome-extensions enable %1</source>
        <translation>L’extension GNOME Shell de Tolvane est désactivée : rien n’est changé. Activez-la avec : gnome-extensions enable %1</translation>
    </message>
    <message>
        <source>Tolvane's GNOME Shell extension could not start, so nothing is switched: %1</source>
        <translation>L’extension GNOME Shell de Tolvane n’a pas pu démarrer, rien n’est changé : %1</translation>
    </message>
    <message>
        <source>GNOME keeps a separate input source for each window, which undoes Tolvane's switches. Turn off “Switch input sources individually for each window” in Settings › Keyboard, or run: gsettings set org.gnome.desktop.input-sources per-window false</source>
        <translation>GNOME garde une source de saisie distincte pour chaque fenêtre, ce qui annule les changements de Tolvane. Désactivez « Changer de source de saisie individuellement pour chaque fenêtre » dans Paramètres › Clavier, ou exécutez : gsettings set org.gnome.desktop.input-sources per-window false</translation>
    </message>
    <message>
        <source>Tolvane: Pause or Resume Switching</source>
        <translation>Tolvane : suspendre ou reprendre le basculement</translation>
    </message>
    <message>
        <source>On Wayland no application may watch the keyboard, so KWin pauses and resumes switching for Tolvane: Ctrl+Alt+P unless you change it in System Settings › Shortcuts › KWin (“Tolvane: Pause or Resume Switching”). The tray menu does the same.</source>
        <translation>Sous Wayland, aucune application ne peut surveiller le clavier ; c'est donc KWin qui suspend et reprend le basculement pour Tolvane : avec Ctrl+Alt+P, sauf si vous le changez dans Configuration du système › Raccourcis › KWin (« Tolvane : suspendre ou reprendre le basculement »). Le menu de la zone de notification fait de même.</translation>
    </message>
    <message>
        <source>On GNOME no application may watch the keyboard. Pause and resume from Tolvane's menu in the top bar, or add a shortcut that runs this command in GNOME Settings › Keyboard › View and Customize Shortcuts › Custom Shortcuts:</source>
        <translation>Sous GNOME, aucune application ne peut surveiller le clavier. Mettez en pause et reprenez depuis le menu de Tolvane dans la barre supérieure, ou ajoutez un raccourci qui lance cette commande dans Paramètres de GNOME › Clavier › Afficher et personnaliser les raccourcis › Raccourcis personnalisés :</translation>
    </message>
</context>
</TS>
