# A second map through each of the five ways of opening one.

import os

from harness import OPEN, check, click, extents, key
from meter import measure_a_little


def second_map(s, open_command, pick=True, **settings):
    """Opens Ashby Moor at start-up and measures on it, then opens Cold Fell with open_command; the new map
    must show, fitted, with cleared meters and the calibration prompt, and measure in its turn."""
    s.write_settings(**settings)
    app = s.launch("ashby-moor.gif")
    measure_a_little(app)
    fitted = app.zoom()
    app.zoomed(key, "ctrl+i")
    cold = os.path.join(s.maps, "cold-fell.jpg")
    open_command(app)
    if pick:
        app.choose(cold, app.file_dialog(s.maps))  # the last map's folder
    app.answer("Calibration Procedure", "1 km away")
    app.opened(cold, fitted)
    check(app.menu_items("File")[:3] == ["Open Another Map", cold, os.path.join(s.maps, "ashby-moor.gif")],
          "the File menu lists %r" % app.menu_items("File"))
    measure_a_little(app)
    s.finish(app)


def scenario_second_map_from_file_menu(s):
    second_map(s, lambda app: app.menu("File", "Open Another Map"))


def scenario_second_map_from_toolbar(s):
    second_map(s, lambda app: click(app.button("Open another map file")))


def scenario_second_map_from_popup_menu(s):
    second_map(s, lambda app: app.pick(app.popup(tuple(v + 300 for v in extents(app.map())[:2])), "Open Another Map"))


def scenario_second_map_by_ctrl_o(s):
    second_map(s, lambda app: key("ctrl+o"))


def scenario_second_map_from_recent_files(s):
    cold = os.path.join(s.maps, "cold-fell.jpg")
    second_map(s, lambda app: app.menu("File", cold), pick=False, File1=cold)


def scenario_cancelled_open_changes_nothing(s):
    app = s.launch("ashby-moor.gif")
    measure_a_little(app)
    before = app.view()
    key("ctrl+o")
    app.press(app.window(OPEN), "Cancel", "the file dialog")
    check(app.proc.poll() is None, "cancelling the dialog with a map open ended the program")
    check(app.view() == before, "cancelling the dialog changed %r into %r" % (before, app.view()))
    s.finish(app)
