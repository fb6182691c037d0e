// Tolvane's helper for GNOME Shell 45 and later (ES modules). What it does is in service.js.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import St from 'gi://St';
import Clutter from 'gi://Clutter';
import Cogl from 'gi://Cogl';

import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as Keyboard from 'resource:///org/gnome/shell/ui/status/keyboard.js';
import * as IBusManager from 'resource:///org/gnome/shell/misc/ibusManager.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';

import {TolvaneShellService} from './service.js';

export default class TolvaneExtension extends Extension {
    enable() {
        this._service = new TolvaneShellService({Gio, GLib, Meta, Shell, St, Clutter, Cogl, Main, Keyboard, IBusManager, PanelMenu, PopupMenu});
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
