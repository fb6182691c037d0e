// Tolvane's helper for GNOME Shell 42 to 44 (legacy imports). What it does is in service.js.
/* exported init */

const {Gio, GLib, Meta, Shell, St, Clutter, Cogl} = imports.gi;
const IBusManager = imports.misc.ibusManager;
const Main = imports.ui.main;
const Keyboard = imports.ui.status.keyboard;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
const Me = imports.misc.extensionUtils.getCurrentExtension();

class TolvaneExtension {
    enable() {
        this._service = new Me.imports.service.TolvaneShellService(
            {Gio, GLib, Meta, Shell, St, Clutter, Cogl, Main, Keyboard, IBusManager, PanelMenu, PopupMenu});
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}

function init() {
    return new TolvaneExtension();
}
