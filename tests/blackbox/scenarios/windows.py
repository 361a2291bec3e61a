# Help, read-me and about windows, and the two ways out: Exit and the window's close control.

import os

from harness import check, click, extents, find, find_all, key, role, state, text, xdo


def scenario_help_readme_and_about(s):
    app = s.launch("ashby-moor.gif")
    readme = app.menu("Help", "Display Readme.Txt", "Readme.Txt")
    said = text(find(readme, "text", "Readme.Txt"))
    for part in ("MAPWHEEL\n====", "INTRODUCTION", "HOW MAPWHEEL WORKS", "CALIBRATION", "ZOOMING IN AND OUT",
                 "EFFECT OF HILLY TERRAIN ON ACCURACY", "0.707", "0.995", "TECHNICAL HELP"):
        check(part in said, "the read-me does not hold %r" % part)
    inclines = [line.split()[0] for line in said.split("\n") if line.startswith("    1:")]
    check(inclines == ["1:%d" % n for n in range(1, 11)], "the read-me's inclines are %r" % inclines)
    app.press(readme, "OK", "the read-me window")

    about = app.menu("Help", "About Mapwheel", "About Mapwheel")
    check(find(about, "label", "Version 1.1f"), "the about window does not show Version 1.1f")
    app.press(about, "OK", "the about window")
    app.wait(lambda: state(app.win, "active"), "the main window to be active")
    help_window = app.menu("Help", "Mapwheel Help Topics", "Mapwheel Help Topics")
    shown = app.wait(lambda: text(find(help_window, "label", "Mapwheel Help Topics")), "the help text")
    for topic in ("Getting started", "Calibrating the map", "Measuring a route", "Recent maps"):
        check(topic in shown, "the help does not show the topic %r" % topic)
    key("alt+F4")  # the window manager's close, as the help window lies over the menu bar
    app.gone(help_window, "the help window")
    os.remove(os.path.join(s.work, "mapwheel.hlp"))
    app.menu("Help", "Mapwheel Help Topics")
    app.answer("Mapwheel Help", "Cannot open the help file\n%s/mapwheel.hlp\nbecause there is no such file." % s.work)
    s.finish(app)


def scenario_close_control_ends_cleanly(s):
    s.write_settings(File1="/nowhere/older.gif")
    app = s.launch("cold-fell.jpg")
    key("ctrl+i")
    x, y, w, _ = extents(app.win)
    # The close button at the right end of the window manager's title bar.
    s.finish(app, lambda: click((x + w - 8, y - 9)), "the close control")


def scenario_resize_keeps_zoom_calibration_and_layout(s):
    app = s.launch("rushmere-edge.bmp")
    app.calibrate((375, 375), (625, 375))
    zoom = app.zoomed(key, "ctrl+i")
    x, y, w, _ = extents(app.win)
    click((x + w - 26, y - 9))  # the maximize button beside the close button: no longer maximized
    # Once it is no longer maximized, the window manager lets it take another size.
    app.wait(lambda: xdo("getactivewindow", "windowsize", 900, 560) or extents(app.win)[2:] == (900, 560),
             "the window to take 900 x 560")
    check(app.zoom() == zoom, "the resize changed the zoom to %s" % app.zoom())
    wx, wy, ww, wh = extents(app.win)
    for part in [find(app.win, "filler", "Map").get_parent()] + list(find_all(app.win, "scroll bar")):
        px, py, pw, ph = extents(part)
        check(wx <= px and wy <= py and px + pw <= wx + ww and py + ph <= wy + wh,
              "%s at %s lies outside the window at %s" % (role(part), (px, py, pw, ph), (wx, wy, ww, wh)))
    # Still calibrated; a stroke may leave the view, over its bar and out of the window, and stays with the map.
    app.trace([(880, 300), (940, 320), (1000, 340), (1060, 360), (980, 390), (900, 400)])
    s.finish(app)
