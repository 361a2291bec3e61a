# The same map distance reads the same at every screen scale, and every window of the program fits a
# 1920 x 1080 screen at scale 2 (960 x 540 of Qt's pixels).

from harness import check, extents, find, key, xdo

SCREEN = (1920, 1080)
SCALES = ("1", "1.25", "1.5", "2")


def trace(app, start, end, samples):  # one stroke from start to end (screen points), taken sample by sample
    app.stroke([tuple(round(a + (b - a) * i / samples) for a, b in zip(start, end)) for i in range(samples + 1)])
    return app.wait(lambda: app.meters()[2] == "0" or app.meters(), "the stroke to end")


def snap(v): return 30 * round(v / 30)


def reading(s, scale):
    # One grid square (1 km, near enough) calibrates; the route runs down a grid line, exactly twice as far
    # on the screen. Qt gives the pointer in whole pixels of its own, so the points are whole pixels at every
    # scale (multiples of 30 screen pixels): then only the measuring could make the readings differ.
    app = s.launch("ashby-moor.gif", env={"QT_SCALE_FACTOR": scale})
    x, y, w, _ = extents(app.map())
    k = w / 1500.0  # screen pixels a map pixel
    length = max(150, 150 * round(250 * k / 150))
    a = (snap(x + 375 * k), snap(y + 375 * k))
    xdo("mousemove", *a, "mousedown", 1, "mousemove", a[0] + length // 2, a[1], "mousemove", a[0] + length, a[1],
        "mouseup", 1)
    app.answer("Calibration Procedure", "Now you can click & drag to measure distances")
    start = (snap(x + 625 * k), snap(y + 125 * k))
    shown = trace(app, start, (start[0], start[1] + 2 * length), 10)
    s.finish(app)
    return shown


def scenario_same_readings_at_every_scale(s):
    readings = {scale: reading(s, scale) for scale in SCALES}
    want = readings["1"]
    check(float(want[0]) == 2.0 and float(want[1]) == 1.24, "at scale 1 the 2 km route reads %r" % (want,))
    for scale, shown in readings.items():
        check(shown == want, "at scale %s the route reads %r; at scale 1, %r" % (scale, shown, want))


def inside(window, what, screen=SCREEN):
    x, y, w, h = extents(window)
    check(x >= 0 and y >= 0 and x + w <= screen[0] and y + h <= screen[1],
          "%s lies at %s, beyond the %dx%d screen" % (what, (x, y, w, h), *screen))


# Every window a user meets, from the splash to the About box, on the screen at the given scale.
def windows_fit(s, scale, screen):
    app = s.launch(env={"QT_SCALE_FACTOR": scale})
    inside(app.window(lambda t: True, active=False), "the splash", screen)
    dialog = app.file_dialog()
    inside(dialog, "the file dialog", screen)
    app.file_dialog(path=s.maps + "/cold-fell.jpg")
    inside(app.main().window("Calibration Procedure", "alert"), "the calibration prompt", screen)
    key("Return")
    for menu, item, title in [("Tools", "Scale Factors...", "Scale Factors"), ("Help", "About Mapwheel", "About Mapwheel"),
                              ("Help", "Display Readme.Txt", "Readme.Txt"),
                              ("Help", "Mapwheel Help Topics", "Mapwheel Help Topics")]:
        window = app.menu(menu, item, title)
        inside(window, "the window %r" % title, screen)
        for control in ("push button", "check box", "radio button", "combo box"):
            for c in [find(window, control)] if find(window, control) else []:
                inside(c, "a %s of %r" % (control, title), screen)
        key("Escape")
        app.gone(window, title)
    s.finish(app)


def scenario_windows_fit_at_scale_2(s):
    windows_fit(s, "2", SCREEN)

