# Calibrating and tracing: known distances on the sample maps read as they should, at any zoom and scroll.

import math

from harness import check, click, extents, find, key, state, xdo

# Ashby Moor's marked route (map pixels), 6.000 km at 250 pixels to the km.
ASHBY_ROUTE = [(200, 820), (350, 620), (590, 550), (790, 700), (1030, 630), (1100, 390), (1250, 190)]


def along(corners, step):  # map points every step pixels along a polyline, each corner included
    out = [corners[0]]
    for (x0, y0), (x1, y1) in zip(corners, corners[1:]):
        n = max(1, round(math.dist((x0, y0), (x1, y1)) / step))
        out += [(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n) for i in range(1, n + 1)]
    return out


def near(reading, km, tolerance, what):  # the primary reading, but for the rounding to the decimals shown
    decimals = len(reading.strip().partition(".")[2])
    check(abs(float(reading) - km) <= tolerance + 0.5 * 10 ** -decimals, "%s reads %r, not %.3f" % (what, reading, km))


def scenario_void_calibration_then_route(s):
    app = s.launch("ashby-moor.gif")
    check(app.units() == ("Kilometres", "Miles"), "unit names %r" % (app.units(),))
    app.calibrate((375, 375), (375, 375))  # no length: void, and asked again
    app.calibrate((375, 375), (625, 375))  # one grid square, 1 km
    near(app.trace(along(ASHBY_ROUTE, 40))[0], 6.0, 0.05, "the 6 km route")
    s.finish(app)


def scenario_zoom_and_scroll_between_strokes(s):
    app = s.launch("cold-fell.jpg")
    app.zoomed(key, "ctrl+i")  # zoomed in before calibrating
    app.calibrate((375, 625), (375, 875))  # between two grid lines, upright
    # A zigzag: the four-sample average smooths it to far less than the length of its legs.
    zig = [(450 + 40 * i, 300 + (90 if i % 2 else 0)) for i in range(12)]
    first = app.trace(zig)
    legs = sum(math.dist(p, q) for p, q in zip(zig, zig[1:])) / 250
    check(1.76 < float(first[0]) < legs / 2, "the zigzag (%.2f km of legs) reads %r" % (legs, first))

    app.zoomed(click, app.button("Zoom In"))
    x, y, w, h = extents(app.wait(lambda: find(app.win, "scroll bar"), "a scroll bar after zooming in"))
    before = extents(app.map())
    click((x + w // 2, y + h - 30) if h > w else (x + w - 30, y + h // 2))  # the track, near its far end
    app.wait(lambda: extents(app.map()) != before, "the map to scroll")
    # Two kilometres along a grid line.
    second = app.trace(along([(625, 375), (625, 875)], 30))
    near(second[0], float(first[0]) + 2.0, 0.02, "2 km more along a grid line")

    app.zoomed(key, "ctrl+f")
    third = app.trace(along([(1125, 375), (1125, 125), (1375, 125)], 25))
    near(third[0], float(second[0]) + 2.0, 0.1, "2 km more round a grid corner (the average rounds it off)")

    click(app.button("Reset the tripmeters"))
    app.wait(lambda: app.meters() == ("0.000", "0.000", "0"), "Reset to clear the meters")
    s.finish(app)


def scenario_a_stroke_ends_where_its_release_goes(s):
    app = s.launch("rushmere-edge.bmp")
    app.calibrate((375, 375), (625, 375))
    app.zoomed(key, "ctrl+i")
    # A stroke whose release goes elsewhere ends there: the left button let go over the pop-up menu opened
    # mid-stroke, or while the file dialog opened by Ctrl+O mid-stroke shows. The view obeys at once.
    a, b = app.to_screen([(700, 550), (800, 550)])
    n = len(app.popups)
    xdo("mousemove", *a, "mousedown", 1, "mousemove", *b, "click", 3)
    menu = app.wait(lambda: len(app.popups) > n and state(app.popups[-1]) and app.popups[-1], "the pop-up mid-stroke")
    xdo("mouseup", 1)
    zoom = app.zoom()
    app.pick(menu, "Zoom In")
    app.wait(lambda: app.zoom() != zoom, "the pop-up's Zoom In after the stroke went to the menu")
    xdo("mousemove", *a, "mousedown", 1, "mousemove", *b, "key", "ctrl+o")
    dialog = app.file_dialog()
    xdo("mouseup", 1)
    key("Escape")
    app.gone(dialog, "the file dialog, cancelled")
    app.zoomed(key, "ctrl+i")
    s.finish(app)
