"""What the two trip meters must read for the pointer positions a scenario sent, worked out here from the
measuring rules on their own: positions in twips, a moving average over the latest four samples, each
segment to the smoothed point divided by the zoom, and readouts with 0 to 3 decimals chosen by the length
of the latest segment (the secondary one cut, not rounded, to thousandths)."""

import math
from decimal import ROUND_HALF_EVEN, ROUND_HALF_UP, Decimal

from harness import Failure, check, extents, move, xdo


def readout(value, step):
    """The seven-character readouts value may show, its decimals chosen by the step in the same unit: one,
    unless value is a tie half way between two shown values, whose rounding is the formatting's own."""
    decimals = 0 if step > 0.7 else 1 if step > 0.07 else 2 if step > 0.007 else 3
    text = "%.15G" % value
    shown = {"%.*f" % (decimals, float(text))} | {
        str(Decimal(text).quantize(Decimal(1).scaleb(-decimals), rounding=r)) for r in (ROUND_HALF_UP, ROUND_HALF_EVEN)}
    return frozenset(s + " " * {0: 4, 1: 2, 2: 1, 3: 0}[decimals] for s in shown)


class Meter:
    """One reading of the rules. offset: where the map image's own origin lies inside its on-screen box,
    in twips (a fraction of a pixel); zoom_error: how far each zoom step may be off in single precision."""

    def __init__(self, tpp, unit_factor, cal_factor=1.0, offset=(0.0, 0.0), zoom_error=0.0):
        self.tpp, self.unit_factor, self.cal_factor = tpp, unit_factor, cal_factor
        self.offset, self.zoom_error = offset, zoom_error
        self.zoom = 1.0  # relative to the fitted zoom
        self.unit = self.route = 0.0
        self.last = (0, 0)
        self.samples, self.count = [], 0

    def twips(self, p):
        return tuple(p[i] * self.tpp + self.offset[i] for i in (0, 1))

    def whole(self, q):
        return tuple(round(v) for v in q)  # Python rounds halves to the even neighbour

    def zoom_in(self, steps=1):
        self.zoom *= (1.1 * (1 + self.zoom_error)) ** steps

    def fit(self):
        self.zoom = 1.0

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
        n = len(self.samples)
        mean = tuple(sum(s[i] for s in self.samples) / n for i in (0, 1))
        return self.texts(self._segment(mean))

    def release(self):
        seg = 0.0
        tail = self.samples[1:] if self.count >= 2 else []
        while tail:
            seg = self._segment(tuple(sum(s[i] for s in tail) / len(tail) for i in (0, 1)))
            tail = tail[1:]
        return self.texts(seg)

    def texts(self, seg):
        t1 = seg / self.unit
        primary = readout(self.route / self.unit, t1)
        cut = math.trunc(self.route * 1000 / (self.unit * self.unit_factor)) * 0.001
        return primary, readout(cut, t1 / self.unit_factor), frozenset([str(self.count)])


class Meters:
    """Every reading that the facts a scenario cannot see leave open. The picture may begin a fraction of a
    pixel inside the map's on-screen box: strokes keep their samples on a 4-pixel grid, so that their
    averages fall on whole twips whatever that fraction is, but for half a twip, where rounding to even
    depends on the point. And a zoom step is 1.1 only to single precision. Each check keeps the readings
    that agree with the screen."""

    def __init__(self, tpp, unit_factor=1.609344, cal_factor=1.0):
        self.all = [Meter(tpp, unit_factor, cal_factor, (ox, oy), e)
                    for ox in (0.0, 0.5) for oy in (0.0, 0.5) for e in (0.0, 2e-7, -2e-7)]

    def __getattr__(self, name):
        def each(*args):
            return [getattr(m, name)(*args) for m in self.all]
        return each

    def keep(self, results, shown):
        """Keeps the readings that allow what is shown and tells whether any does."""
        agree = [m for m, r in zip(self.all, results) if all(v in allowed for v, allowed in zip(shown, r))]
        self.all = agree or self.all
        return bool(agree)


# ---- the user's drags, each checked against the rules ------------------------------------------------

def calibrate(app, main, meters, start, end):
    """A calibration drag from start to end (screen points); checks the result the user is told."""
    origin = extents(main.map())[:2]
    move(*start)
    xdo("mousedown", 1)
    move((start[0] + end[0]) // 2, (start[1] + end[1]) // 2)
    move(*end)
    xdo("mouseup", 1)
    rel = [(p[0] - origin[0], p[1] - origin[1]) for p in (start, end)]
    if any(meters.calibrate(*rel)):
        app.answer("Calibration Procedure", "Now you can click & drag to measure distances")
        app.wait(lambda: main.meters()[:2] == ("0.000", "0.000"), "the meters to read 0.000")
    else:
        app.answer("Calibration Void", "Calibration distance must not be zero - please re-calibrate")
        app.answer("Calibration Procedure", "away (eg between gridlines)")


def stroke(app, main, meters, points):
    """Traces one stroke through points (screen), one sample at a time, waiting for the program to take
    each one (its sample count), and checks both meters after every sample and after the release."""
    origin = extents(main.map())[:2]
    rel = [(p[0] - origin[0], p[1] - origin[1]) for p in points]
    move(*points[0])
    xdo("mousedown", 1)
    steps = [(points[0], meters.press(rel[0]))] + [(p, None) for p in points[1:]]
    for i, (p, expected) in enumerate(steps):
        if i:
            move(*p)
            expected = meters.move(rel[i])
        shown = app.wait(lambda: (lambda m: m if m[2] == str(i + 1) else None)(main.meters()),
                         "sample %d to be taken" % (i + 1))
        check(meters.keep(expected, shown), "after sample %d at %s the meters read %r, the rules give %s"
              % (i + 1, p, shown, allowed(expected)))
    xdo("mouseup", 1)
    expected = meters.release()
    try:
        shown = app.wait(lambda: (lambda m: m if meters.keep(expected, m) else None)(main.meters()), "the stroke's end")
    except Failure:
        shown = main.meters()
    check(meters.keep(expected, shown), "after the release the meters read %r, the rules give %s"
          % (shown, allowed(expected)))
    return shown


def allowed(results):
    return " or ".join(repr(tuple(" | ".join(sorted(v)) for v in r)) for r in dict.fromkeys(results))
