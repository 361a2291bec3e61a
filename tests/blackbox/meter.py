# What the two trip meters must read for the pointer positions a scenario sent, worked out here from the
# measuring rules on their own: positions in twips, a moving average over the latest four samples, each
# segment to the smoothed point divided by the zoom, and readouts with 0 to 3 decimals chosen by the length
# of the latest segment (the secondary one cut, not rounded, to thousandths).

import math
from decimal import ROUND_HALF_EVEN, ROUND_HALF_UP, Decimal

from harness import Failure, check, extents, xdo


# The seven-character readouts value may show, its decimals chosen by the step in the same unit: one, unless
# value is a tie half way between two shown values, whose rounding is the formatting's own.
def readout(value, step):
    decimals = 0 if step > 0.7 else 1 if step > 0.07 else 2 if step > 0.007 else 3
    text = "%.15G" % value
    shown = {"%.*f" % (decimals, float(text))} | {
        str(Decimal(text).quantize(Decimal(1).scaleb(-decimals), rounding=r)) for r in (ROUND_HALF_UP, ROUND_HALF_EVEN)}
    return frozenset(s + " " * {0: 4, 1: 2, 2: 1, 3: 0}[decimals] for s in shown)


def mean(points): return tuple(sum(p[i] for p in points) / len(points) for i in (0, 1))


# One reading of the rules. offset: where the map image's own origin lies inside its on-screen box, in twips
# (a fraction of a pixel); zoom_error: how far each zoom step may be off in single precision.
class Meter:
    def __init__(self, tpp, unit_factor, cal_factor, offset, zoom_error):
        self.tpp, self.unit_factor, self.cal_factor = tpp, unit_factor, cal_factor
        self.offset, self.zoom_error = offset, zoom_error
        self.zoom, self.unit, self.route = 1.0, 0.0, 0.0  # the zoom relative to the fitted one
        self.last, self.samples, self.count = (0, 0), [], 0

    def twips(self, p): return tuple(p[i] * self.tpp + self.offset[i] for i in (0, 1))

    def whole(self, q): return tuple(round(v) for v in q)  # Python rounds halves to the even neighbour

    def zoom_in(self): self.zoom *= 1.1 * (1 + self.zoom_error)

    def fit(self): self.zoom = 1.0

    def calibrate(self, start, end):
        a, b = self.whole(self.twips(start)), self.whole(self.twips(end))
        self.unit = math.dist(a, b) / (self.zoom * self.cal_factor)
        self.route, self.count = 0.0, 0
        return self.unit > 0

    def _segment(self, q):
        p = self.whole(q)
        seg = math.dist(self.last, p) / self.zoom
        self.route += seg
        self.last = p
        return seg

    def press(self, p):
        self.last = self.whole(self.twips(p))
        self.samples, self.count = [], 0
        return self.move(p)

    def move(self, p):
        self.count += 1
        self.samples = (self.samples + [self.twips(p)])[-4:]
        return self.texts(self._segment(mean(self.samples)))

    def release(self):
        seg, tail = 0.0, self.samples[1:] if self.count >= 2 else []
        while tail:
            seg, tail = self._segment(mean(tail)), tail[1:]
        return self.texts(seg)

    def texts(self, seg):
        t1 = seg / self.unit
        primary = readout(self.route / self.unit, t1)
        cut = math.trunc(self.route * 1000 / (self.unit * self.unit_factor)) * 0.001
        return primary, readout(cut, t1 / self.unit_factor), frozenset([str(self.count)])


# Every reading that the facts a scenario cannot see leave open. The picture may begin a fraction of a pixel
# inside the map's on-screen box: strokes keep their samples on a 4-pixel grid, so that their averages fall on
# whole twips whatever that fraction is, but for half a twip, where rounding to even depends on the point.
# And a zoom step is 1.1 only to single precision. Each check keeps the readings that agree with the screen.
# The user's drags on app's map go through drag_calibration (the first one from start to end, if given) and
# trace.
class Meters:
    def __init__(self, app, start=None, end=None, unit_factor=1.609344, cal_factor=1.0):
        self.app = app
        w = extents(app.button("Zoom In"))[2]  # twips per screen pixel, from a button 480 twips wide
        check(480 % w == 0, "toolbar button %d pixels wide: the screen is not at a whole twips per pixel" % w)
        self.all = [Meter(480 // w, unit_factor, cal_factor, (ox, oy), e)
                    for ox in (0.0, 0.5) for oy in (0.0, 0.5) for e in (0.0, 2e-7, -2e-7)]
        if start:
            self.drag_calibration(start, end)

    def __getattr__(self, name):
        def each(*args): return [getattr(m, name)(*args) for m in self.all]
        return each

    def keep(self, results, shown):  # keeps the readings that allow what is shown; whether any does
        agree = [m for m, r in zip(self.all, results) if all(v in allowed for v, allowed in zip(shown, r))]
        self.all = agree or self.all
        return bool(agree)

    def on_map(self, points):  # screen points and the same from the map's on-screen corner
        x, y = extents(self.app.map())[:2]
        return [(p, (p[0] - x, p[1] - y)) for p in points]

    def drag_calibration(self, start, end):  # from start to end (map pixels); checks what the user is told
        pts = self.app.to_screen([start, end])
        (a, ra), (b, rb) = self.on_map([pts[0], pts[-1]])
        xdo("mousemove", *a, "mousedown", 1, "mousemove", (a[0] + b[0]) // 2, (a[1] + b[1]) // 2, "mousemove", *b,
            "mouseup", 1)
        if any(self.calibrate(ra, rb)):
            self.app.answer("Calibration Procedure", "Now you can click & drag to measure distances")
            self.app.wait(lambda: self.app.meters()[:2] == ("0.000", "0.000"), "the meters to read 0.000")
        else:
            self.app.answer("Calibration Void", "Calibration distance must not be zero - please re-calibrate")
            self.app.answer("Calibration Procedure", "away (eg between gridlines)")

    # Traces one stroke through points (map pixels), one sample at a time, waiting for the program to take
    # each one (its sample count), and checks both meters after every sample and after the release.
    def trace(self, points):
        def shown_if(test, what):  # the meters once they pass test
            return self.app.wait(lambda: (lambda m: m if test(m) else None)(self.app.meters()), what)
        for i, (p, q) in enumerate(self.on_map(self.app.to_screen(points))):
            xdo("mousemove", *p, *([] if i else ["mousedown", 1]))
            expected = self.move(q) if i else self.press(q)
            shown = shown_if(lambda m: m[2] == str(i + 1), "sample %d to be taken" % (i + 1))
            check(self.keep(expected, shown), "after sample %d at %s the meters read %r, the rules give %s"
                  % (i + 1, p, shown, allowed(expected)))
        xdo("mouseup", 1)
        expected = self.release()
        try:
            shown = shown_if(lambda m: self.keep(expected, m), "the stroke's end")
        except Failure:
            shown = self.app.meters()
        check(self.keep(expected, shown), "after the release the meters read %r, the rules give %s"
              % (shown, allowed(expected)))
        return shown


def allowed(results): return " or ".join(repr(tuple(" | ".join(sorted(v)) for v in r)) for r in dict.fromkeys(results))


def measure_a_little(app):  # calibrates on one grid square and traces a stroke, checked by the rules
    meters = Meters(app, (375, 375), (625, 375))
    meters.trace([(400, 400), (450, 420), (500, 400), (560, 430), (600, 480)])
    return meters
