#!/usr/bin/python3
# gtk-test-window.py --id ID --backend wayland|x11 [--title TITLE]
#
# One GTK 3 window. On Wayland ID is its application id; on X11 it is the
# WM_CLASS class (the instance is ID in lower case). Prints "ready" once the
# window is mapped, then stays until killed.
import argparse
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--id", required=True)
parser.add_argument("--backend", choices=["wayland", "x11"], required=True)
parser.add_argument("--title", default="Tolvane test window")
args = parser.parse_args()

# Before GTK starts: the program name is the Wayland application id and the
# X11 instance name.
GLib.set_prgname(args.id if args.backend == "wayland" else args.id.lower())
from gi.repository import Gdk, Gtk  # noqa: E402

Gdk.set_allowed_backends(args.backend)
Gdk.set_program_class(args.id)
Gtk.init(sys.argv[:1])

window = Gtk.Window(title=args.title)
window.set_default_size(320, 200)
window.add(Gtk.Entry())


def mapped(*_):
    print("ready", flush=True)


window.connect("map-event", mapped)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
