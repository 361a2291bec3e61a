"""A second map through each of the five ways of opening one."""

import os

from harness import MainWindow, check, choose_file, click, extents, find, key, name, showing, text
from meter import Meters, calibrate, stroke


def measure_a_little(app, main):
    """Calibrates on one grid square and traces a stroke, checked against the measuring rules."""
    meters = Meters(main.tpp())
    calibrate(app, main, meters, *main.to_screen([(375, 375), (625, 375)]))
    stroke(app, main, meters, main.to_screen([(400, 400), (450, 420), (500, 400), (560, 430), (600, 480)]))
    return meters


def second_map(s, open_command, pick=True, **settings):
    """Opens Ashby Moor at start-up and measures on it, then opens Cold Fell with open_command; the new map
    must show, fitted, with cleared meters and the calibration prompt, and measure in its turn."""
    s.write_settings(**settings)
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    measure_a_little(app, main)
    fitted = main.zoom()
    key("ctrl+i")
    app.wait(lambda: main.zoom() != fitted, "the zoom to change")
    cold = os.path.join(s.maps, "cold-fell.jpg")
    open_command(app, main)
    if pick:
        dialog = app.window("Open Map Image...")
        folder = name(find(dialog, "combo box", lambda n: n.startswith("/")))
        check(folder == s.maps, "the file dialog opened in %r, not in the last map's folder" % folder)
        check(text(find(dialog, "text", "File name:")) == "", "the file name box is not empty")
        choose_file(dialog, cold)
    app.answer("Calibration Procedure", "1 km away")
    main = MainWindow(app)
    check(main.caption().endswith(":-  " + cold), "after the open the caption is %r" % main.caption())
    check(main.meters()[:2] == ("0.000", "0.000"), "the new map's meters read %r" % (main.meters(),))
    check(main.zoom() == fitted, "the new map shows at %s, not fitted at %s" % (main.zoom(), fitted))
    check(main.menu_items("File")[:3] == ["Open Another Map", cold, os.path.join(s.maps, "ashby-moor.gif")],
          "the File menu lists %r" % main.menu_items("File"))
    measure_a_little(app, main)
    s.finish(app)


def scenario_second_map_from_file_menu(s):
    second_map(s, lambda app, main: main.menu(("File", "Open Another Map")))


def scenario_second_map_from_toolbar(s):
    second_map(s, lambda app, main: click(main.button("Open another map file")))


def scenario_second_map_from_popup_menu(s):
    def popup(app, main):
        x, y = extents(main.map())[:2]
        n = len(app.popups)
        click((x + 300, y + 300), 3)
        menu = app.wait(lambda: len(app.popups) > n and showing(app.popups[-1]) and app.popups[-1], "the pop-up menu")
        click(find(menu, "menu item", "Open Another Map"))
    second_map(s, popup)


def scenario_second_map_by_ctrl_o(s):
    second_map(s, lambda app, main: key("ctrl+o"))


def scenario_second_map_from_recent_files(s):
    cold = os.path.join(s.maps, "cold-fell.jpg")
    second_map(s, lambda app, main: main.menu(("File", cold)), pick=False, File1=cold)


def scenario_cancelled_open_changes_nothing(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    measure_a_little(app, main)
    before = (main.caption(), main.meters(), main.zoom(), main.menu_items("File"))
    key("ctrl+o")
    dialog = app.window("Open Map Image...")
    click(find(dialog, "push button", "Cancel"))
    app.gone(dialog, "the file dialog")
    check(app.proc.poll() is None, "cancelling the dialog with a map open ended the program")
    after = (main.caption(), main.meters(), main.zoom(), main.menu_items("File"))
    check(after == before, "cancelling the dialog changed %r into %r" % (before, after))
    s.finish(app)
