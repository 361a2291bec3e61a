# A second map through each of the six ways of opening one.

import os

from harness import check, click, drag_and_drop, extents, key, measure_a_little


# A scenario that opens Ashby Moor at start-up and measures on it, then opens Cold Fell with
# open_command(app, path); the new map must show, fitted, with cleared meters and the calibration prompt, and
# measure in its turn. The file dialog asks for it unless it comes from the recent-files list or a drop.
def second_map(open_command, via="dialog"):
    def scenario(s):
        ashby, cold = (os.path.join(s.maps, m) for m in ("ashby-moor.gif", "cold-fell.jpg"))
        s.write_settings(**({"File1": cold} if via == "recent" else {}))
        app = s.launch("ashby-moor.gif")
        measure_a_little(app)
        fitted = app.zoom()
        app.zoomed(key, "ctrl+i")
        open_command(app, cold)
        if via == "dialog":
            app.file_dialog(s.maps, cold)  # in the last map's folder
        app.answer("Calibration Procedure", "1 km away")
        app.opened(cold, fitted)
        check(app.menu_items("File")[:3] == ["Open Another Map", cold, ashby], "the File menu lists %r"
              % app.menu_items("File"))
        measure_a_little(app)
        s.finish(app)
    return scenario


scenario_second_map_from_file_menu = second_map(lambda app, path: app.menu("File", "Open Another Map"))
scenario_second_map_from_toolbar = second_map(lambda app, path: click(app.button("Open another map file")))
scenario_second_map_from_popup_menu = second_map(
    lambda app, path: app.pick(app.popup(tuple(v + 300 for v in extents(app.map())[:2])), "Open Another Map"))
scenario_second_map_by_ctrl_o = second_map(lambda app, path: key("ctrl+o"))
scenario_second_map_from_recent_files = second_map(lambda app, path: app.menu("File", path), via="recent")


# Dropped from another program onto the map; only a local file is taken, so a web address is refused first.
def by_drop(app, path):
    on_map = tuple(v + 300 for v in extents(app.map())[:2])
    for uri, want in [("https://www.holloway.example/maps/cold-fell.jpg", "refused"), ("file://" + path, "dropped")]:
        said = drag_and_drop(uri, on_map)
        check(said == want, "%s dragged onto the map was %s" % (uri, said))


scenario_second_map_by_drop = second_map(by_drop, via="drop")


def scenario_cancelled_open_changes_nothing(s):
    app = s.launch("ashby-moor.gif")
    measure_a_little(app)
    before = app.view()
    key("ctrl+o")
    app.press(app.file_dialog(), "Cancel", "the file dialog")
    check(app.proc.poll() is None, "cancelling the dialog with a map open ended the program")
    check(app.view() == before, "cancelling the dialog changed %r into %r" % (before, app.view()))
    s.finish(app)
