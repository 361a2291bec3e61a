# Help, read-me and about windows, and the two ways out: Exit and the window's close control.

import os

from harness import check, click, extents, find, key, state, text


def scenario_help_readme_and_about(s):
    app = s.launch("ashby-moor.gif")
    readme = app.menu("Help", "Display Readme.Txt", "Readme.Txt")
    said = text(find(readme, "text", "Readme.Txt"))
    for part in ("MAPWHEEL\n====", "INTRODUCTION", "HOW MAPWHEEL WORKS", "CALIBRATION", "ZOOMING IN AND OUT",
                 "EFFECT OF HILLY TERRAIN ON ACCURACY", "0.707", "0.995", "TECHNICAL HELP"):
        check(part in said, "the read-me does not hold %r" % part)
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
