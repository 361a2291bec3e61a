"""Help, read-me and about windows, and the two ways out: Exit and the window's close control."""

from harness import Atspi, check, click, extents, find, key, text


def scenario_help_readme_and_about(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")

    main.menu(("Help", "Display Readme.Txt"))
    readme = app.window("Readme.Txt")
    said = text(find(readme, "text", "Readme.Txt"))
    for part in ("MAPWHEEL\n====", "INTRODUCTION", "HOW MAPWHEEL WORKS", "CALIBRATION", "ZOOMING IN AND OUT",
                 "EFFECT OF HILLY TERRAIN ON ACCURACY", "0.707", "0.995", "TECHNICAL HELP"):
        check(part in said, "the read-me does not hold %r" % part)
    click(find(readme, "push button", "OK"))
    app.gone(readme, "the read-me window")

    main.menu(("Help", "About Mapwheel"))
    about = app.window("About Mapwheel")
    check(find(about, "label", "Version 1.1f"), "the about window does not show Version 1.1f")
    click(find(about, "push button", "OK"))
    app.gone(about, "the about window")
    app.wait(lambda: main.win.get_state_set().contains(Atspi.StateType.ACTIVE), "the main window to be active")
    main.menu(("Help", "Mapwheel Help Topics"))
    help_window = app.window("Mapwheel Help Topics")
    shown = app.wait(lambda: text(find(help_window, "label", "Mapwheel Help Topics")), "the help text")
    for topic in ("Getting started", "Calibrating the map", "Measuring a route", "Recent maps"):
        check(topic in shown, "the help does not show the topic %r" % topic)
    key("alt+F4")  # the window manager's close, as the help window lies over the menu bar
    app.gone(help_window, "the help window")
    s.finish(app)


def scenario_close_control_ends_cleanly(s):
    s.write_settings(File1="/nowhere/older.gif")
    app = s.launch()
    main = s.open_first(app, "cold-fell.jpg")
    key("ctrl+i")
    before = s.settings_bytes()
    x, y, w, _ = extents(main.win)
    click((x + w - 8, y - 9))  # the close button at the right end of the window manager's title bar
    check(app.ended() == 0, "the close control ended the program with code %s" % app.proc.returncode)
    check(s.settings_bytes() == before, "the settings file changed on the way out")
