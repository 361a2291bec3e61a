# Another program's drag, as a file manager's: a small GTK window whose label drags one URI as text/uri-list,
# through the X server's own drag-and-drop protocol. It prints, a line each: "at X Y" (the window's centre on
# screen) once shown; "accepted" when a window under the drag offers to take it; at the drag's end "dropped"
# or "refused".
#
#   dragsource.py URI

import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def say(*words): print(*words, flush=True)


uri = sys.argv[1]
window = Gtk.Window(title="Drag source")
area = Gtk.EventBox()
area.add(Gtk.Label(label="a map to drag"))
window.add(area)
window.set_default_size(180, 90)
screen = window.get_screen().get_root_window()  # in the bottom right corner, out of the way
window.move(screen.get_width() - 240, screen.get_height() - 150)
area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
                     Gdk.DragAction.COPY)
area.connect("drag-data-get", lambda w, context, data, info, time: data.set_uris([uri]))
area.connect("drag-begin", lambda w, context: context.connect(
    "action-changed", lambda c, action: action and say("accepted")))
failed = []
area.connect("drag-failed", lambda w, context, result: failed.append(result) or say("refused"))
area.connect("drag-end", lambda w, context: failed or say("dropped"))


def shown():  # the label fills the window
    origin = window.get_window().get_origin()
    say("at", origin[-2] + window.get_allocated_width() // 2, origin[-1] + window.get_allocated_height() // 2)


# Once the window manager has put the window in place.
window.connect("map-event", lambda *a: GLib.timeout_add(500, lambda: shown() and False))
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
