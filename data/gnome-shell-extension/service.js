// Tolvane's helper inside GNOME Shell.
//
// GNOME Shell keeps to itself which window has the focus and which input
// sources it offers, so Tolvane asks this extension over D-Bus. The service
// lives on the Shell's own session-bus connection, owns the name
// com.kelvora.Tolvane.Shell while the extension is enabled (Tolvane watches it
// to know whether the extension runs) and serves com.kelvora.Tolvane.Shell1 at
// /com/kelvora/Tolvane/Shell.
//
// This file is shared by both variants of the extension: the one for GNOME 42
// to 44 (legacy imports) and the one for GNOME 45 and later (ES modules). It
// imports nothing itself; each variant hands in the libraries it loaded.

var BUS_NAME = 'com.kelvora.Tolvane.Shell';
var OBJECT_PATH = '/com/kelvora/Tolvane/Shell';

var INTERFACE_XML = `<node>
  <interface name="com.kelvora.Tolvane.Shell1">
    <method name="GetFocusedWindow">
      <arg type="a{sv}" name="window" direction="out"/>
    </method>
    <signal name="FocusChanged">
      <arg type="a{sv}" name="window"/>
    </signal>
    <method name="GetWindows">
      <arg type="aa{sv}" name="windows" direction="out"/>
    </method>
    <method name="GetInputSources">
      <arg type="a(ssss)" name="sources" direction="out"/>
    </method>
    <method name="GetCurrentInputSource">
      <arg type="i" name="index" direction="out"/>
    </method>
    <method name="ActivateInputSource">
      <arg type="u" name="index" direction="in"/>
      <arg type="b" name="accepted" direction="out"/>
    </method>
    <signal name="CurrentInputSourceChanged">
      <arg type="i" name="index"/>
    </signal>
    <signal name="InputSourcesChanged"/>
    <method name="ShowOverlay">
      <arg type="ay" name="pixels" direction="in"/>
      <arg type="i" name="width" direction="in"/>
      <arg type="i" name="height" direction="in"/>
      <arg type="i" name="stride" direction="in"/>
      <arg type="s" name="placement" direction="in"/>
      <arg type="i" name="margin" direction="in"/>
      <arg type="b" name="shown" direction="out"/>
    </method>
    <method name="SetOverlayOpacity">
      <arg type="d" name="opacity" direction="in"/>
    </method>
    <method name="HideOverlay"/>
    <method name="SetPanelMenu">
      <arg type="s" name="label" direction="in"/>
      <arg type="a(ssb)" name="rows" direction="in"/>
    </method>
    <signal name="PanelMenuActivated">
      <arg type="s" name="key"/>
    </signal>
    <property name="Version" type="u" access="read"/>
  </interface>
</node>`;

var TolvaneShellService = class TolvaneShellService {
    // `lib` holds GLib, Gio, Meta, Shell, St, Clutter, Cogl, Main, Keyboard (ui/status/keyboard),
    // IBusManager (misc/ibusManager), PanelMenu and PopupMenu, as the variant imported them.
    constructor(lib) {
        this._lib = lib;
        this._exported = null;
        this._nameId = 0;
        this._signals = [];
        this._indicator = null;
        this._panelButton = null;
        this._panelOwner = null;
        this._panelOwnerWatch = 0;
    }

    enable() {
        const {Gio} = this._lib;
        this._exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._exported.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);

        this._connect(global.display, 'notify::focus-window', () => this._focusChanged());
        const sources = this._lib.Keyboard.getInputSourceManager();
        this._connect(sources, 'current-source-changed', () => this._currentSourceChanged());
        this._connect(sources, 'sources-changed', () => this._exported.emit_signal('InputSourcesChanged', null));
    }

    disable() {
        const {Gio, GLib} = this._lib;
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        this._destroyIndicator();
        this._destroyPanelButton();
        this._followPanelOwner(null);
        if (this._nameId) {
            Gio.bus_unown_name(this._nameId);
            this._nameId = 0;
        }
        if (this._exported) {
            this._exported.unexport();
            this._exported = null;
        }
    }

    get Version() {
        return 1;
    }

    GetFocusedWindow() {
        return this._windowIds(global.display.get_focus_window());
    }

    // The ordinary windows, oldest first.
    GetWindows() {
        const {Meta} = this._lib;
        return global.get_window_actors()
            .map(actor => actor.meta_window)
            .filter(window => window.get_window_type() === Meta.WindowType.NORMAL && !window.is_skip_taskbar())
            .sort((a, b) => a.get_stable_sequence() - b.get_stable_sequence())
            .map(window => this._windowIds(window));
    }

    // (type, id, name, language): ("xkb", "de", "German", "") or
    // ("ibus", "hangul", "Korean (Hangul)", "ko").
    GetInputSources() {
        const ibus = this._lib.IBusManager.getIBusManager();
        return this._sourceList().map(source => {
            const engine = source.type === 'ibus' ? ibus.getEngineDesc(source.id) : null;
            return [source.type, source.id, source.displayName || '', engine ? engine.get_language() || '' : ''];
        });
    }

    GetCurrentInputSource() {
        const current = this._lib.Keyboard.getInputSourceManager().currentSource;
        return current ? current.index : -1;
    }

    // Not interactive: an automatic switch does not reorder the user's
    // most-recently-used list in the settings.
    ActivateInputSource(index) {
        const source = this._lib.Keyboard.getInputSourceManager().inputSources[index];
        if (!source)
            return false;
        source.activate(false);
        return true;
    }

    // Tolvane's floating indicator, drawn by Tolvane (premultiplied BGRA
    // rows), shown above every window on the focused window's monitor;
    // Tolvane times and fades it.
    ShowOverlay(pixels, width, height, stride, placement, margin) {
        return this._showOverlay(pixels, width, height, stride, placement, margin);
    }

    SetOverlayOpacity(opacity) {
        if (this._indicator)
            this._indicator.opacity = Math.round(255 * Math.min(Math.max(opacity, 0), 1));
    }

    HideOverlay() {
        this._destroyIndicator();
    }

    // The button goes with the application that asked for it, however it ended.
    SetPanelMenuAsync([label, rows], invocation) {
        this._followPanelOwner(invocation.get_sender());
        this._updatePanelButton(label, rows);
        invocation.return_value(null);
    }

    _connect(object, signal, handler) {
        this._signals.push([object, object.connect(signal, handler)]);
    }

    _sourceList() {
        const sources = this._lib.Keyboard.getInputSourceManager().inputSources;
        return Object.keys(sources).map(Number).sort((a, b) => a - b).map(index => sources[index]);
    }

    _focusChanged() {
        const ids = this._windowIds(global.display.get_focus_window());
        const {GLib} = this._lib;
        this._exported.emit_signal('FocusChanged', new GLib.Variant('(a{sv})', [ids]));
    }

    _currentSourceChanged() {
        const {GLib} = this._lib;
        this._exported.emit_signal('CurrentInputSourceChanged',
            new GLib.Variant('(i)', [this.GetCurrentInputSource()]));
    }

    // What names the window's application. GNOME's own id for a window without
    // a desktop entry ("window:N") means nothing outside this session, so it is
    // left out; Tolvane then goes by the other names.
    _windowIds(window) {
        const {GLib, Shell} = this._lib;
        const ids = {time: new GLib.Variant('x', GLib.get_monotonic_time())};
        if (!window)
            return ids;
        const text = (key, value) => {
            if (value)
                ids[key] = new GLib.Variant('s', value);
        };
        text('wmClass', window.get_wm_class());
        text('wmClassInstance', window.get_wm_class_instance());
        text('gtkApplicationId', window.get_gtk_application_id());
        text('sandboxedAppId', window.get_sandboxed_app_id());
        const app = Shell.WindowTracker.get_default().get_window_app(window);
        if (app && app.get_app_info()) {
            text('appId', app.get_id().replace(/\.desktop$/, ''));
            text('appName', app.get_name());
        }
        const pid = window.get_pid();
        if (pid > 0)
            ids.pid = new GLib.Variant('u', pid);
        ids.windowId = new GLib.Variant('t', window.get_id());
        const frame = window.get_frame_rect();
        ids.frame = new GLib.Variant('(iiii)', [frame.x, frame.y, frame.width, frame.height]);
        return ids;
    }

    _showOverlay(pixels, width, height, stride, placement, margin) {
        const {GLib, St, Clutter, Main, Cogl} = this._lib;
        if (width <= 0 || height <= 0 || stride < width * 4 || pixels.length < stride * height)
            return false;
        const content = St.ImageContent.new_with_preferred_size(width, height);
        const bytes = new GLib.Bytes(pixels);
        // Mutter 45 and later want the Cogl context first.
        const loaded = content.set_bytes.length >= 6
            ? content.set_bytes(global.stage.context.get_backend().get_cogl_context(), bytes,
                Cogl.PixelFormat.BGRA_8888_PRE, width, height, stride)
            : content.set_bytes(bytes, Cogl.PixelFormat.BGRA_8888_PRE, width, height, stride);
        if (loaded === false)
            return false;
        this._destroyIndicator();
        const actor = new Clutter.Actor({content, width, height, reactive: false});
        Main.layoutManager.uiGroup.add_child(actor);
        this._indicator = actor;
        this._placeOverlay(actor, width, height, placement, margin);
        return true;
    }

    // Centred on the monitor of the focused window, at the top, middle or
    // bottom, `margin` from the edge.
    _placeOverlay(actor, width, height, placement, margin) {
        const {Main} = this._lib;
        const window = global.display.get_focus_window();
        const monitorIndex = window ? window.get_monitor() : Main.layoutManager.primaryIndex;
        const monitor = Main.layoutManager.monitors[monitorIndex] || Main.layoutManager.primaryMonitor;
        if (!monitor)
            return;
        let y = monitor.y + margin;
        if (placement === 'center')
            y = monitor.y + Math.round((monitor.height - height) / 2);
        else if (placement === 'bottom')
            y = monitor.y + monitor.height - height - margin;
        actor.set_position(monitor.x + Math.round((monitor.width - width) / 2), y);
    }

    _destroyIndicator() {
        if (this._indicator) {
            this._indicator.destroy();
            this._indicator = null;
        }
    }

    // The panel button stands in for the tray, which GNOME does not have:
    // `label` is its text, each row (key, text, enabled) a menu entry; an
    // empty key makes a separator. A chosen row is announced by its key.
    // No rows remove the button.
    _updatePanelButton(label, rows) {
        const {St, Clutter, Main, PanelMenu, PopupMenu, GLib} = this._lib;
        if (rows.length === 0) {
            this._destroyPanelButton();
            return;
        }
        if (!this._panelButton) {
            this._panelButton = new PanelMenu.Button(0.0, 'Tolvane', false);
            this._panelLabel = new St.Label({y_align: Clutter.ActorAlign.CENTER});
            this._panelButton.add_child(this._panelLabel);
            Main.panel.addToStatusArea(BUS_NAME, this._panelButton);
        }
        this._panelLabel.text = label;
        const menu = this._panelButton.menu;
        menu.removeAll();
        for (const [key, text, enabled] of rows) {
            if (!key) {
                menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem(text || ''));
                continue;
            }
            const item = new PopupMenu.PopupMenuItem(text);
            item.setSensitive(enabled);
            item.connect('activate', () => {
                if (this._exported)
                    this._exported.emit_signal('PanelMenuActivated', new GLib.Variant('(s)', [key]));
            });
            menu.addMenuItem(item);
        }
    }

    _destroyPanelButton() {
        if (this._panelButton) {
            this._panelButton.destroy();
            this._panelButton = null;
            this._panelLabel = null;
        }
    }

    _followPanelOwner(sender) {
        const {Gio} = this._lib;
        if (sender === this._panelOwner)
            return;
        if (this._panelOwnerWatch)
            Gio.bus_unwatch_name(this._panelOwnerWatch);
        this._panelOwnerWatch = 0;
        this._panelOwner = sender;
        if (sender) {
            this._panelOwnerWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, sender,
                Gio.BusNameWatcherFlags.NONE, null, () => this._destroyPanelButton());
        }
    }
};
