"""Calibrating and tracing: the meters must read what the measuring rules give for the very points sent."""

import math

from harness import check, click, extents, find, key, move, xdo
from meter import Meters, calibrate, stroke

# Ashby Moor's marked route (map pixels), 6.000 km at 250 pixels to the km.
ASHBY_ROUTE = [(200, 820), (350, 620), (590, 550), (790, 700), (1030, 630), (1100, 390), (1250, 190)]


def along(corners, step):
    """Map points every step pixels along a polyline, each corner included."""
    out = [corners[0]]
    for (x0, y0), (x1, y1) in zip(corners, corners[1:]):
        n = max(1, round(math.dist((x0, y0), (x1, y1)) / step))
        out += [(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n) for i in range(1, n + 1)]
    return out


def km(shown):
    return float(shown[0])


def near(reading, km_, tolerance, what):
    """The primary reading is within tolerance of km_, beyond the rounding to the decimals shown."""
    decimals = len(reading.strip().partition(".")[2])
    check(abs(float(reading) - km_) <= tolerance + 0.5 * 10 ** -decimals,
          "%s reads %r, not %.3f" % (what, reading, km_))


def zoom_changes(app, main, command):
    before = main.zoom()
    command()
    return app.wait(lambda: main.zoom() != before and main.zoom(), "the zoom readout to change from " + before)


def scenario_void_calibration_then_route(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    check(main.units() == ("Kilometres", "Miles"), "unit names %r" % (main.units(),))
    meters = Meters(main.tpp())
    a, b = main.to_screen([(375, 375), (625, 375)])
    calibrate(app, main, meters, a, a)  # no length: void, and asked again
    calibrate(app, main, meters, a, b)  # one grid square, 1 km
    shown = stroke(app, main, meters, main.to_screen(along(ASHBY_ROUTE, 40)))
    near(shown[0], 6.0, 0.05, "the 6 km route")
    s.finish(app)


def scenario_zoom_and_scroll_between_strokes(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "cold-fell.jpg")
    meters = Meters(main.tpp())
    zoom_changes(app, main, lambda: key("ctrl+i"))  # zoomed in before calibrating
    meters.zoom_in()
    a, b = main.to_screen([(375, 625), (375, 875)])  # between two grid lines, upright
    calibrate(app, main, meters, a, b)
    # A zigzag: the four-sample average smooths it to far less than the length of its legs.
    zig = [(450 + 40 * i, 300 + (90 if i % 2 else 0)) for i in range(12)]
    first = stroke(app, main, meters, main.to_screen(zig))
    legs = sum(math.dist(p, q) for p, q in zip(zig, zig[1:])) / 250
    check(1.76 < km(first) < legs / 2, "the zigzag (%.2f km of legs) reads %r" % (legs, first))

    zoom_changes(app, main, lambda: click(main.button("Zoom In")))
    meters.zoom_in()
    bar = main.app.wait(lambda: find(main.win, "scroll bar"), "a scroll bar after zooming in")
    x, y, w, h = extents(bar)
    before = extents(main.map())
    click((x + w // 2, y + h - 30) if h > w else (x + w - 30, y + h // 2))  # the track, near its far end
    app.wait(lambda: extents(main.map()) != before, "the map to scroll")
    # Two kilometres along a grid line.
    second = stroke(app, main, meters, main.to_screen(along([(625, 375), (625, 875)], 30)))
    near(second[0], km(first) + 2.0, 0.02, "2 km more along a grid line")

    zoom_changes(app, main, lambda: key("ctrl+f"))
    meters.fit()
    third = stroke(app, main, meters, main.to_screen(along([(1125, 375), (1125, 125), (1375, 125)], 25)))
    near(third[0], km(second) + 2.0, 0.1, "2 km more round a grid corner (the average rounds it off)")

    click(main.button("Reset the tripmeters"))
    app.wait(lambda: main.meters() == ("0.000", "0.000", "0"), "Reset to clear the meters")
    s.finish(app)


def scenario_no_zoom_while_a_stroke_is_drawn(s):
    """A zoom mid-stroke would mix two scales in one drag: it is refused until the button is released."""
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "rushmere-edge.bmp")
    meters = Meters(main.tpp())
    calibrate(app, main, meters, *main.to_screen([(375, 375), (625, 375)]))
    fitted = main.zoom()
    a, b, c = main.to_screen([(400, 600), (500, 600), (600, 600)])
    move(*a)
    xdo("mousedown", 1)
    for i, (p, keys) in enumerate([(b, "ctrl+i"), (c, "ctrl+t")]):  # zoom in, zoom out
        move(*p)
        app.wait(lambda: main.meters()[2] == str(i + 2), "sample %d to be taken" % (i + 2))
        xdo("key", keys)  # not key(): clearing the modifiers would also let go of the button
    move(*a)  # taken after the commands above, so they have been handled by then
    app.wait(lambda: main.meters()[2] == "4", "sample 4 to be taken")
    check(main.zoom() == fitted, "the zoom changed to %s during a stroke" % main.zoom())
    xdo("mouseup", 1)
    key("ctrl+i")
    app.wait(lambda: main.zoom() != fitted, "Ctrl+I to zoom in once the stroke has ended")
    s.finish(app)
