# Another program's drag, as a file manager's: a small GTK window whose button drags one URI as
# text/uri-list, through the X server's own drag-and-drop protocol. It prints, a line each: "at X Y" (the
# window's centre on screen) once shown; "accepted" when a window under the drag offers to take it; at the
# drag's end "dropped" or "refused".
#
#   dragsource.py URI

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk, Gdk, GLib  # noqa: E402 (Gtk first: it brings the Gdk of its own version)


def say(*words): print(*words, flush=True)


window, button, failed = Gtk.Window(title="Drag source"), Gtk.Button(label="a map to drag"), []
window.add(button)
root = window.get_screen().get_root_window()  # in the bottom right corner, out of the way
window.move(root.get_width() - 240, root.get_height() - 150)
button.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
                       Gdk.DragAction.COPY)
button.connect("drag-data-get", lambda w, context, data, info, time: data.set_uris([sys.argv[1]]))
button.connect("drag-begin", lambda w, context: context.connect(
    "action-changed", lambda c, action: action and say("accepted")))
button.connect("drag-failed", lambda w, context, result: failed.append(result) or say("refused"))
button.connect("drag-end", lambda w, context: failed or say("dropped"))
# Half a second after it is mapped, once the window manager has put it in place.
window.connect("map-event", lambda *a: GLib.timeout_add(500, lambda: say("at", *(
    o + s // 2 for o, s in zip(window.get_window().get_origin()[-2:], window.get_size())))))
window.show_all()
Gtk.main()
