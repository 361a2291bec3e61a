# Black-box harness: starts the program on a private X display under a window manager, drives it only with
# real input through the X server (xdotool, which sends through XTEST) and reads what the user sees through
# the accessibility bus. Run through run.sh, which gives it its own session bus.
#
#   harness.py [--app PATH] [--artifacts DIR] [GROUP|GROUP.SCENARIO ...]   (every group by default)

import configparser, ctypes, importlib, math, os, re, select, shutil, signal, subprocess, sys, tempfile, time, traceback
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SCALE = float(os.environ.get("MW_BLACKBOX_TIMEOUT_SCALE", "1"))
SCALE_KEYS = {"Unit1": "Kilometres", "Unit2": "Miles", "CalFact": "1", "UnitFact": "1.609344", "Abbrev": "km"}
POPUP_ITEMS = ["Open Another Map", "Zoom In", "Zoom Out", "Zoom to Fit", "Recalibrate", "Scale Factors...", "Reset"]
# A report of any of these on the program's error output fails the scenario, whatever it saw on screen.
REPORTS = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|Invalid (read|write|free)"
                     r"|Conditional jump|uninitialised|Mismatched free|ERROR SUMMARY: [1-9]")


class Failure(AssertionError): pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def spawn(cmd, **kw):  # in a session of its own, killed with the harness (PR_SET_PDEATHSIG): nothing outlives it
    return subprocess.Popen(cmd, preexec_fn=lambda: ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL),
                            start_new_session=True, **kw)


def stop(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()


def pump():
    while GLib.MainContext.default().iteration(False):
        pass


# Polls pred until it gives something true, and returns that; fails after timeout (seconds, scaled), or at
# once if the program app runs has ended.
def wait(pred, what, timeout=10, app=None):
    deadline = time.monotonic() + timeout * SCALE
    while True:
        pump()
        try:
            last = pred()
        except (GLib.Error, AttributeError):
            last = None  # an object that went away in the meantime
        if last:
            return last
        ended = app and app.proc.poll() is not None
        if ended or time.monotonic() > deadline:
            what = what() if callable(what) else what  # it may tell how things stand at the time
            raise Failure("the program ended (exit code %s) while waiting for %s" % (app.proc.returncode, what)
                          if ended else "timed out waiting for %s" % what)
        time.sleep(0.01)


# ---- what the user sees --------------------------------------------------------------------------------

def name(a): return a.get_name() or ""


def role(a): return a.get_role_name()


def state(a, which="showing"):  # which: "showing", "active", "checked", "enabled"...
    return a.get_state_set().contains(getattr(Atspi.StateType, which.upper()))


def children(a): return [c for c in (a.get_child_at_index(i) for i in range(a.get_child_count())) if c]


def text(a): return Atspi.Text.get_text(a, 0, -1) if a.get_text_iface() else name(a)


# Qt's accessibility bridge gives positions in its own pixels, which QT_SCALE_FACTOR makes differ from the
# screen's: the program under test sets how many screen pixels one of Qt's is.
UI_SCALE = 1.0


def extents(a):
    r = Atspi.Component.get_extents(a, Atspi.CoordType.SCREEN)
    return tuple(round(v * UI_SCALE) for v in (r.x, r.y, r.width, r.height))


# Of that role (if given) and name (or with a name that passes name_, a test), and showing unless shown is
# False.
def matches(a, role_=None, name_=None, shown=True):
    return ((not role_ or role(a) == role_) and (not shown or state(a)) and
            (name_ is None or (name_(name(a)) if callable(name_) else name(a) == name_)))


def find_all(root, role_=None, name_=None, shown=True):  # root and everything below it, breadth first
    todo = [root]
    while todo:
        a = todo.pop(0)
        todo += children(a)
        if matches(a, role_, name_, shown):
            yield a


def find(root, role_=None, name_=None, shown=True): return next(find_all(root, role_, name_, shown), None)


def dump(a, depth=0):  # the accessible tree, for a failure's record
    try:
        return "\n".join(["%s%s %r%s at %s%s" % ("  " * depth, role(a), name(a), " text=%r" % text(a) if
                          a.get_text_iface() else "", extents(a), "" if state(a) else " (hidden)")]
                         + [dump(c, depth + 1) for c in children(a)])
    except GLib.Error as e:
        return "%s(gone: %s)" % ("  " * depth, e)


# ---- real input through the X server -------------------------------------------------------------------

def xdo(*args): subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def click(where, button=1):  # where: a point on screen, or an accessible whose centre is clicked
    if not isinstance(where, tuple):
        x, y, w, h = extents(where)
        where = (x + w // 2, y + h // 2)
    xdo("mousemove", *where, "click", button)


def key(*keys): xdo("key", "--clearmodifiers", *keys)


# Drags uri from another program's window (dragsource.py) to the point to on screen, with the left button
# held, through the X server's drag-and-drop protocol; the button is let go once the window there offers to
# take it, or after a while. "dropped" when it took the drop, "refused" when not.
def drag_and_drop(uri, to):
    src = spawn([sys.executable, os.path.join(HERE, "dragsource.py"), uri], stdout=subprocess.PIPE, text=True)

    def said(wait): return src.stdout.readline().split() if select.select([src.stdout], [], [], wait * SCALE)[0] else []
    try:
        at = said(20)
        check(at[:1] == ["at"], "the drag source said %r, not where it is" % at)
        x, y = int(at[1]), int(at[2])
        xdo("mousemove", x, y, "mousedown", 1)
        for i in range(1, 11):  # motion events of their own, past the drag threshold and on to the target
            xdo("mousemove", x + (to[0] - x) * i // 10, y + (to[1] - y) * i // 10)
            time.sleep(0.05)
        said(2)  # "accepted", or nothing
        xdo("mouseup", 1)
        end = said(10)
        check(end in (["dropped"], ["refused"]), "at the drag's end the drag source said %r" % end)
        return end[0]
    finally:
        stop(src)


# ---- the program ---------------------------------------------------------------------------------------

# One run of the program with a home of its own (its settings file lives there), and its main window as the
# user sees it (once main() has found it): caption, meters, zoom readout, map, menus.
class App:
    def __init__(self, s, env=None, args=()):
        global UI_SCALE
        UI_SCALE = float((env or {}).get("QT_SCALE_FACTOR", 1))
        s.apps.append(self)
        self.proc, self.stderr, self.popups, self.menus = None, "", [], []  # shown, newest last: pop-ups, others
        self.listener = Atspi.EventListener.new(self.popped_up)
        self.listener.register("object:state-changed:showing")
        env = dict(os.environ, HOME=s.home, XDG_CONFIG_HOME=s.config, TMPDIR=s.tmp, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", **(env or {}))
        self.err = open(os.path.join(s.tmp, "stderr-%d.txt" % len(s.apps)), "w")
        self.proc = spawn(os.environ.get("MW_BLACKBOX_WRAPPER", "").split() + [s.binary] + list(args), cwd=s.work,
                          env=env, stdout=self.err, stderr=subprocess.STDOUT)
        self.root = self.wait(lambda: next((a for a in children(Atspi.get_desktop(0)) if a.get_process_id() ==
                                            self.proc.pid), None), "the program on the accessibility bus", 30)

    def popped_up(self, e):
        try:
            # The pop-up menu is known by its Reset item, which no menu of the menu bar has.
            if role(e.source) == "popup menu" and e.detail1:
                (self.popups if find(e.source, "menu item", "Reset", False) else self.menus).append(e.source)
        except GLib.Error:
            pass

    def close(self):
        stop(self.proc)
        self.listener.deregister("object:state-changed:showing")
        self.err.close()
        self.stderr = open(self.err.name, errors="replace").read()

    def wait(self, pred, what, timeout=10): return wait(pred, what, timeout, self)

    def windows(self): return [w for w in children(self.root) if state(w)]

    # The window whose caption is title (or passes title, a test), once it shows; unless active is False,
    # once it is also the active window and has come to rest where the window manager put it.
    def window(self, title, role_=None, timeout=10, active=True):
        what = "a window %s" % (title if isinstance(title, str) else "as expected")
        w = self.wait(lambda: next((w for w in self.windows() if matches(w, role_, title)), None), what, timeout)
        seen = []
        self.wait(lambda: not active or state(w, "active") and seen[-1:] == [extents(w)] or seen.append(extents(w)),
                  what + " to be active and still")
        return w

    def gone(self, window, what, timeout=10):
        self.wait(lambda: window not in self.windows(), "%s to close" % what, timeout)

    # Clicks a button that closes its window. A window manager may still move a new window after it has
    # come to rest for a moment, and the click then lands where it was: it is clicked again where it is now.
    def press(self, window, button, what):
        for attempt in range(3):
            click(find(window, "push button", button))
            try:
                return self.gone(window, what, 3 if attempt < 2 else 10)
            except Failure:
                if attempt == 2 or window not in self.windows():
                    raise

    # Waits for the message box titled title, checks that its text holds expect, and presses its OK. Returns
    # its text.
    def answer(self, title, expect=None, timeout=10):
        box = self.window(title, "alert", timeout)
        said = "\n".join(name(a) for a in find_all(box, "label") if name(a))
        check(expect is None or expect in said, "message %r says %r, not %r" % (title, said, expect))
        self.press(box, "OK", "message %r" % title)
        return said

    # The file dialog, once it shows; with folder, it must have opened there, with no file name; with path,
    # that full path is typed into its file name box, and Return.
    def file_dialog(self, folder=None, path=None, timeout=10):
        dialog = self.window("Open Map Image...", timeout=timeout)
        box = find(dialog, "text", "File name:")
        if folder:
            shown = name(find(dialog, "combo box", lambda n: n.startswith("/")))
            check(shown == folder, "the file dialog opened in %r, not in %r" % (shown, folder))
            check(text(box) == "", "the file name box is not empty")
        if not path:
            return dialog
        click(box)
        key("ctrl+a")
        xdo("type", "--delay", 15, "--", path)
        self.wait(lambda: text(box) == path, "the file name to be typed")
        key("Return")

    def main(self):  # waits for the main window to show
        self.win = self.window(lambda t: t.startswith("Mapwheel v"), "frame", active=False)
        return self

    def opened(self, path, zoom=None):  # the map at path shows, just opened: cleared meters, at zoom if given
        self.main()
        check(name(self.win).endswith(":-  " + path), "after the open the caption is %r" % name(self.win))
        check(self.meters()[:2] == ("0.000", "0.000"), "the new map's meters read %r" % (self.meters(),))
        check(self.zoom().endswith(":1") and zoom in (None, self.zoom()),
              "the new map shows at %r, not %s" % (self.zoom(), zoom or "at a zoom"))

    # The two meters and the sample count, read between two samples (the count the same before and after),
    # so that the three belong together.
    def meters(self):
        count, primary, secondary = (find(self.win, "text", n, shown=False)
                                     for n in ("Sample count", "Primary distance", "Secondary distance"))
        while True:
            before, shown = text(count), (text(primary), text(secondary))
            if text(count) == before:
                return shown + (before,)

    def units(self):
        return tuple(text(find(self.win, "text", n, shown=False)) for n in ("Primary unit", "Secondary unit"))

    def zoom(self): return name(find(self.win, "label", lambda n: n.endswith(":1")))

    def zoomed(self, command, *args):  # command(*args) must change the zoom readout; the new one
        before = self.zoom()
        command(*args)
        return self.wait(lambda: self.zoom() != before and self.zoom(), "the zoom readout to change from " + before)

    def view(self):  # what a failed or cancelled open must leave as it was
        return name(self.win), self.meters(), self.zoom(), self.menu_items("File")

    def map(self): return find(self.win, "filler", "Map")

    def button(self, tip): return find(self.win, "push button", tip)

    # Where map pixels [(mx, my), ...] of a sample map (1500 pixels wide) are on screen, on a grid of grain
    # pixels from the map's corner, so that the averages of a stroke's samples fall on whole twips; points
    # that fall together are given once.
    def to_screen(self, points, grain=4):
        x, y, w, h = extents(self.map())
        k = w / 1500.0
        check(abs(float(self.zoom()[:-2]) - k) < 0.006 + 1.0 / 1500, "the zoom readout says %s, the map is shown at "
              "%.4f:1" % (self.zoom(), k))
        out = [(x + grain * round(mx * k / grain), y + grain * round(my * k / grain)) for mx, my in points]
        return [p for i, p in enumerate(out) if not i or p != out[i - 1]]

    # Drags from start to end (map pixels) to calibrate, cal primary units apart, factor of them to the
    # secondary unit; a drag of no length is void, and the prompt comes again.
    def calibrate(self, start, end, cal=1.0, factor=1.609344):
        pts = self.to_screen([start, end])
        a, b = pts[0], pts[-1]
        xdo("mousemove", *a, "mousedown", 1, "mousemove", (a[0] + b[0]) // 2, (a[1] + b[1]) // 2, "mousemove", *b,
            "mouseup", 1)
        if a == b:
            self.answer("Calibration Void", "Calibration distance must not be zero - please re-calibrate")
            self.answer("Calibration Procedure", "away (eg between gridlines)")
            return
        self.answer("Calibration Procedure", "Now you can click & drag to measure distances")
        self.wait(lambda: self.meters()[:2] == ("0.000", "0.000"), "the meters to read 0.000")
        self.calibration = math.dist(a, b) / (extents(self.map())[2] / 1500.0) / cal, factor  # map pixels a unit

    # One stroke through screen points, one sample at a time, each waited for until the program takes it.
    def stroke(self, points):
        for i, p in enumerate(points):
            xdo("mousemove", *p, *([] if i else ["mousedown", 1]))
            self.wait(lambda: self.meters()[2] == str(i + 1), "sample %d to be taken" % (i + 1))
        xdo("mouseup", 1)

    # Traces one stroke through points (map pixels), one sample at a time, waiting for the program to take
    # each one. The exact readings are the unit tests' business; here the stroke must add at least the
    # straight distance from its first point to its last and at most the length of its legs (the smoothing
    # only cuts corners), and the secondary meter must tell the same length. Returns the meters at the end.
    def trace(self, points):
        pts = self.to_screen(points)
        per_unit, factor = self.calibration
        k = extents(self.map())[2] / 1500.0 * per_unit  # screen pixels a unit
        before = self.meters()
        self.stroke(pts)
        least = math.dist(pts[0], pts[-1]) / k
        most = sum(math.dist(p, q) for p, q in zip(pts, pts[1:])) / k

        def unit(text): return 0.5 * 10 ** -len(text.strip().partition(".")[2])  # half the last place shown

        def fits(m):
            slack = unit(m[0]) + unit(before[0]) + 0.002 * most + 0.07 * len(pts) / k
            added = float(m[0]) - float(before[0])
            same = abs(float(m[1]) * factor - float(m[0])) <= unit(m[0]) + (unit(m[1]) + 0.001) * factor + 1e-9
            return least - slack <= added <= most + slack and same
        try:
            return self.wait(lambda: fits(self.meters()) and self.meters(), "the stroke's end")
        except Failure:
            raise Failure("a stroke of %.3f to %.3f units added %r to %r" % (least, most, self.meters(), before))

    # Chooses a menu item by the captions of the menu and the item, by clicking like a user; with window,
    # returns the window of that caption that it opens.
    def menu(self, title, item, window=None):
        top = find(self.win, "menu item", title)
        click(top)
        popup = self.wait(lambda: next((c for c in children(top) if state(c)), None), "menu %r to open" % title)
        click(self.wait(lambda: find(popup, "menu item", item), "menu item %r" % item))
        return window and self.window(window)

    def menu_items(self, title):
        popup = find(find(self.win, "menu item", title), "popup menu", shown=False)
        return [name(c) for c in children(popup) if role(c) == "menu item"]

    # Releases button at where (a point on screen) and returns the pop-up menu that then shows there (its top
    # left corner at the pointer), which must be the only one opened since there were since; after says what
    # came before, for the messages.
    def popup(self, where, button=3, since=None, after=""):
        since = len(self.popups) if since is None else since
        click(where, button)

        def at_pointer():
            if len(self.popups) > since and state(self.popups[-1]):
                x, y = extents(self.popups[-1])[:2]
                return abs(x - where[0]) <= 2 and abs(y - where[1]) <= 2
        self.wait(at_pointer, lambda: "a pop-up menu at the pointer %s; %d opened %s"
                  % (where, len(self.popups) - since, after))
        pump()  # the news of any menu opened before this one has come in by now
        check(len(self.popups) == since + 1, "%d pop-up menus opened %s; one was expected, at the pointer %s"
              % (len(self.popups) - since, after, where))
        items = [name(c) for c in children(self.popups[-1]) if role(c) == "menu item"]
        check(items == POPUP_ITEMS, "the pop-up menu holds %r" % items)
        return self.popups[-1]

    def pick(self, menu, item=None):  # chooses item from a pop-up menu, or without one closes it by Escape
        if item:
            click(find(menu, "menu item", item))
        else:
            key("Escape")
        self.wait(lambda: not state(menu), "the pop-up menu to close")


def measure_a_little(app):  # calibrates on one grid square and traces a stroke
    app.calibrate((375, 375), (625, 375))
    app.trace([(400, 400), (450, 420), (500, 400), (560, 430), (600, 480)])


# ---- scenarios -----------------------------------------------------------------------------------------

# A fresh world for one scenario: a copy of the sample maps and help file to start from, and a home whose
# settings hold the default scale, as a first run leaves them.
class Scenario:
    def __init__(self, name, binary, base):
        self.name, self.binary, self.apps = name, binary, []
        self.tmp = os.path.join(base, name)
        self.home, self.config, self.work, self.maps = (os.path.join(self.tmp, p) for p in (
            "home", "home/.config", "work", "work/Maps"))
        self.ini = os.path.join(self.config, "Holloway", "Holloway.ini")
        shutil.copytree(os.path.join(ROOT, "Maps"), self.maps)
        shutil.copy(os.path.join(ROOT, "mapwheel.hlp"), self.work)
        self.write_settings()

    def write_settings(self, **more):
        os.makedirs(os.path.dirname(self.ini), exist_ok=True)
        with open(self.ini, "w") as f:
            f.write("[Mapwheel]\n" + "".join("%s=%s\n" % kv for kv in {**SCALE_KEYS, **more}.items()))

    def settings(self):
        ini = configparser.ConfigParser(interpolation=None)
        ini.optionxform = str
        ini.read(self.ini)  # none if there is no file
        return dict(ini["Mapwheel"]) if ini.has_section("Mapwheel") else {}

    def settings_bytes(self): return open(self.ini, "rb").read() if os.path.exists(self.ini) else None

    # Starts the program (env: more of its environment, args: its arguments); with map_name, goes through
    # start-up as a user does: the splash, the file dialog, the map; then the calibration prompt, unless prompt
    # is None (a first run).
    def launch(self, map_name=None, prompt="1 km away", env=None, args=()):
        app = App(self, env, args)
        if map_name:
            app.file_dialog(path=os.path.join(self.maps, map_name), timeout=20)
            app.main()
            if prompt:
                app.answer("Calibration Procedure", prompt)
        return app

    # Ends the program, by File > Exit unless how does it otherwise, and checks that it ended with code 0
    # and left the settings file as it was (or as it was before).
    def finish(self, app, how=None, what="Exit", before=None):
        before = self.settings_bytes() if before is None else before
        how() if how else app.main().menu("File", "Exit")
        wait(lambda: app.proc.poll() is not None, "the program to end")
        check(app.proc.returncode == 0, "%s ended the program with code %s" % (what, app.proc.returncode))
        check(self.settings_bytes() == before, "%s wrote to the settings file" % what)

    def run(self, fn, artifacts):  # the error, if the scenario fails
        error = None
        try:
            fn(self)
        except Exception as e:  # noqa: BLE001 - every failure is reported the same way
            error = str(e) if isinstance(e, Failure) else traceback.format_exc().strip()
            last = self.apps[-1] if self.apps else None
            if last and last.proc.poll() not in (None, 0) and "the program ended" not in error:
                error = "the program ended (exit code %s): %s" % (last.proc.returncode, error)
            error += self.record(artifacts, last)
        finally:
            for a in self.apps:
                a.close()
        reports = ["run %d: %s" % (i, line) for i, a in enumerate(self.apps, 1) for line in a.stderr.splitlines()
                   if REPORTS.search(line)]
        if reports and not error:
            error = "the program reported on its error output:" + "\n    ".join([""] + reports[:10])
            error += self.record(artifacts)
        return error

    def record(self, artifacts, app=None):  # the screen, accessible tree, error output and settings
        where = os.path.join(artifacts, self.name)
        os.makedirs(where, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(where, "screen.png")], stderr=subprocess.DEVNULL)
        if app and app.proc.poll() is None:
            open(os.path.join(where, "tree.txt"), "w").write(dump(app.root) + "\n")
        for f in [a.err.name for a in self.apps] + [self.ini]:
            if os.path.exists(f):
                shutil.copy(f, where)
        return "\n  screenshot, accessible tree and error output: " + where


# ---- the world: a private X display (its number chosen by the server) with a window manager on it ---------

# A private X display of the given size (pixels) with a window manager on it, for one group of scenarios;
# the processes to stop afterwards.
def start_world(base, size):
    r, w = os.pipe()
    world = [spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % size, "-dpi", "96", "-nolisten",
                    "tcp", "-noreset"], pass_fds=(w,), stderr=open(os.path.join(base, "xvfb.log"), "a"))]
    os.close(w)
    try:
        os.environ["DISPLAY"] = ":" + os.fdopen(r).readline().strip()  # written once the server takes connections
        check(os.environ["DISPLAY"] != ":", "Xvfb did not start")
        world.append(spawn(["openbox", "--config-file", "/etc/xdg/openbox/rc.xml"], stdout=subprocess.DEVNULL,
                           stderr=open(os.path.join(base, "openbox.log"), "a")))
        wait(lambda: b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                     capture_output=True).stdout, "the window manager", 20)
    except BaseException:
        stop_world(world)
        raise
    return world


def stop_world(world):
    for p in reversed(world):
        stop(p)


def main(argv):
    opts = {"--app": os.environ.get("MW_BLACKBOX_APP", os.path.join(ROOT, "build/app/mapwheel")),
            "--artifacts": os.environ.get("MW_BLACKBOX_ARTIFACTS", os.path.join(ROOT, "build/blackbox-artifacts"))}
    while argv[:1] and argv[0] in opts:
        opts[argv[0]], argv = argv[1], argv[2:]
    binary = os.path.abspath(opts["--app"])
    check(os.access(binary, os.X_OK), "no program at %s" % binary)
    base = os.environ.get("MW_BLACKBOX_TMP") or tempfile.mkdtemp(prefix="mapwheel-blackbox-")
    results, t0 = {}, time.monotonic()  # each scenario's error, if it failed
    wanted = argv or sorted(f[:-3] for f in os.listdir(os.path.join(HERE, "scenarios"))
                            if f.endswith(".py") and f != "__init__.py")
    for w in wanted:
        group, _, only = w.partition(".")
        module = importlib.import_module("scenarios." + group)
        # A group may ask for a screen of its own size (SCREEN, pixels); 1600 x 1000 otherwise.
        world = start_world(base, getattr(module, "SCREEN", (1600, 1000)))
        try:
            for fname in [n for n in dir(module) if n.startswith("scenario_") and n[9:] == (only or n[9:])]:
                label, t = "%s.%s" % (group, fname[9:]), time.monotonic()
                results[label] = error = Scenario(label, binary, base).run(getattr(module, fname), opts["--artifacts"])
                print("%s %s (%.1f s)" % ("FAIL" if error else "ok  ", label, time.monotonic() - t), flush=True)
                if error:
                    print("    " + error.replace("\n", "\n    "), flush=True)
        finally:
            stop_world(world)
    failed = [label for label, error in results.items() if error]
    print("%d of %d scenarios passed in %.0f s%s" % (len(results) - len(failed), len(results), time.monotonic() - t0,
                                                     "; failed: " + ", ".join(failed) if failed else ""))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.modules["harness"] = sys.modules[__name__]  # the scenarios import this very module
    sys.exit(main(sys.argv[1:]))
