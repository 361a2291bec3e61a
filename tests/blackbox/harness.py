"""Black-box harness: starts the program on a private X display under a window manager, drives it only with
real input through the X server (xdotool, which sends through XTEST) and reads what the user sees through
the accessibility bus. Run through run.sh, which gives it its own session bus."""

import argparse
import configparser
import ctypes
import importlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SCALE = float(os.environ.get("MW_BLACKBOX_TIMEOUT_SCALE", "1"))
SCALE_KEYS = {"Unit1": "Kilometres", "Unit2": "Miles", "CalFact": "1", "UnitFact": "1.609344", "Abbrev": "km"}
# A report of any of these on the program's error output fails the scenario, whatever it saw on screen.
REPORTS = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|Invalid (read|write|free)"
                     r"|Conditional jump|uninitialised|Mismatched free|ERROR SUMMARY: [1-9]")


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def _die_with_parent():
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: nothing outlives the harness
    os.setpgrp()


def spawn(cmd, **kw):
    return subprocess.Popen(cmd, preexec_fn=_die_with_parent, **kw)


def stop(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()


def pump():
    ctx = GLib.MainContext.default()
    while ctx.iteration(False):
        pass


def wait(pred, what, timeout=10, app=None):
    """Polls pred until it gives something true, and returns that; fails after timeout (seconds, scaled)."""
    deadline = time.monotonic() + timeout * SCALE
    last = None
    while True:
        pump()
        try:
            last = pred()
        except (GLib.Error, AttributeError):
            last = None  # an object that went away in the meantime
        if last:
            return last
        if app and app.proc.poll() is not None:
            raise Failure("the program ended (exit code %s) while waiting for %s" % (app.proc.returncode, what))
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for %s" % what)
        time.sleep(0.01)


# ---- what the user sees --------------------------------------------------------------------------------

def name(a):
    return a.get_name() or ""


def role(a):
    return a.get_role_name()


def showing(a):
    return a.get_state_set().contains(Atspi.StateType.SHOWING)


def children(a):
    return [c for c in (a.get_child_at_index(i) for i in range(a.get_child_count())) if c]


def text(a):
    t = a.get_text_iface()
    return Atspi.Text.get_text(a, 0, -1) if t else name(a)


def extents(a):
    r = Atspi.Component.get_extents(a, Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


def centre(a):
    x, y, w, h = extents(a)
    return x + w // 2, y + h // 2


def matches(a, role_=None, name_=None, shown=True):
    if role_ and role(a) != role_:
        return False
    if name_ is not None and not (name_(name(a)) if callable(name_) else name(a) == name_):
        return False
    return showing(a) if shown else True


def find_all(root, role_=None, name_=None, shown=True):
    found, todo = [], [root]
    while todo:
        a = todo.pop(0)
        if matches(a, role_, name_, shown):
            found.append(a)
        todo.extend(children(a))
    return found


def find(root, role_=None, name_=None, shown=True):
    found = find_all(root, role_, name_, shown)
    return found[0] if found else None


def dump(a, depth=0):
    try:
        line = "%s%s %r" % ("  " * depth, role(a), name(a))
        if a.get_text_iface():
            line += " text=%r" % text(a)
        if a.get_component_iface():
            line += " at %s" % (extents(a),)
        line += "" if showing(a) else " (hidden)"
        return "\n".join([line] + [dump(c, depth + 1) for c in children(a)])
    except GLib.Error as e:
        return "%s(gone: %s)" % ("  " * depth, e)


# ---- real input through the X server -------------------------------------------------------------------

def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def move(x, y):
    xdo("mousemove", x, y)


def click(where, button=1):
    x, y = where if isinstance(where, tuple) else centre(where)
    xdo("mousemove", x, y, "click", button)


def key(*keys):
    xdo("key", "--clearmodifiers", *keys)


def type_text(s):
    xdo("type", "--delay", 15, "--", s)


# ---- the program ---------------------------------------------------------------------------------------

class App:
    """One run of the program with a home of its own (its settings file lives there)."""

    def __init__(self, scenario):
        self.s = scenario
        self.proc = None
        self.popups = []  # pop-up menus shown at the pointer, newest last (they are not in the tree)
        self._listener = Atspi.EventListener.new(self._event)
        self._listener.register("object:state-changed:showing")

    def _event(self, e):
        try:
            # The pop-up menu is known by its Reset item, which no menu of the menu bar has.
            if role(e.source) == "popup menu" and e.detail1 and find(e.source, "menu item", "Reset", False):
                self.popups.append(e.source)
        except GLib.Error:
            pass

    def start(self):
        s = self.s
        env = dict(os.environ, HOME=s.home, XDG_CONFIG_HOME=s.config, TMPDIR=s.tmp, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        wrapper = os.environ.get("MW_BLACKBOX_WRAPPER", "").split()
        self.err = open(os.path.join(s.tmp, "stderr.txt"), "w")
        self.proc = spawn(wrapper + [s.binary], cwd=s.work, env=env, stdout=self.err, stderr=subprocess.STDOUT)
        self.root = wait(self._find_root, "the program on the accessibility bus", 30, self)
        return self

    def _find_root(self):
        return next((a for a in children(Atspi.get_desktop(0)) if a.get_process_id() == self.proc.pid), None)

    def wait(self, pred, what, timeout=10):
        return wait(pred, what, timeout, self)

    def windows(self):
        return [w for w in children(self.root) if showing(w)]

    def window(self, title, role_=None, timeout=10, active=True):
        """The window whose caption is title (or passes title, a test), once it shows; unless active is
        False, once it is also the active window and has come to rest where the window manager put it."""
        test = title if callable(title) else (lambda t: t == title)
        what = "a window %s" % (title if isinstance(title, str) else "as expected")
        w = self.wait(lambda: next((w for w in self.windows() if test(name(w))
                                    and (role_ is None or role(w) == role_)), None), what, timeout)
        if active:
            seen = []
            self.wait(lambda: w.get_state_set().contains(Atspi.StateType.ACTIVE) and seen[-1:] == [extents(w)]
                      or seen.append(extents(w)), what + " to be active and still")
        return w

    def gone(self, window, what):
        self.wait(lambda: window not in self.windows(), "%s to close" % what)

    def answer(self, title, expect=None, timeout=10):
        """Waits for the message box titled title, checks that its text holds expect, and presses its OK.
        Returns its text."""
        box = self.window(title, "alert", timeout)
        said = "\n".join(name(a) for a in find_all(box, "label") if name(a))
        check(expect is None or expect in said, "message %r says %r, not %r" % (title, said, expect))
        click(find(box, "push button", "OK"))
        self.gone(box, "message %r" % title)
        return said

    def main(self):
        return self.window(lambda t: t.startswith("Mapwheel v"), "frame", active=False)

    def ended(self, timeout=10):
        """Waits for the program to end and returns its exit code."""
        wait(lambda: self.proc.poll() is not None, "the program to end", timeout)
        return self.proc.returncode

    def close(self):
        stop(self.proc)
        self._listener.deregister("object:state-changed:showing")
        if self.proc:
            self.err.close()
            with open(self.err.name, errors="replace") as f:
                self.stderr = f.read()


class MainWindow:
    """The main window as the user sees it: caption, meters, zoom readout, map, menus."""

    def __init__(self, app):
        self.app = app
        self.win = app.main()

    def caption(self):
        return name(self.win)

    def field(self, accessible):
        return find(self.win, "text", accessible, shown=False)

    def meters(self):
        """The two meters and the sample count, read between two samples (the count the same before and
        after), so that the three belong together."""
        count, primary, secondary = (self.field(n) for n in ("Sample count", "Primary distance", "Secondary distance"))
        while True:
            before, shown = text(count), (text(primary), text(secondary))
            if text(count) == before:
                return shown + (before,)

    def units(self):
        return text(self.field("Primary unit")), text(self.field("Secondary unit"))

    def zoom(self):
        return name(find(self.win, "label", lambda n: n.endswith(":1")))

    def map(self):
        return find(self.win, "filler", "Map")

    def button(self, tip):
        return find(self.win, "push button", tip)

    def tpp(self):
        """Twips per screen pixel, from a toolbar button that is 480 twips wide."""
        w = extents(self.button("Zoom In"))[2]
        check(480 % w == 0, "toolbar button %d pixels wide: the screen is not at a whole twips per pixel" % w)
        return 480 // w

    def to_screen(self, points, grain=4):
        """Where map pixels [(mx, my), ...] of a sample map (1500 pixels wide) are on screen, on a grid of
        grain pixels from the map's corner, so that the averages of a stroke's samples fall on whole
        twips; points that fall together are given once."""
        x, y, w, h = extents(self.map())
        k = w / 1500.0
        check(abs(float(self.zoom()[:-2]) - k) < 0.006 + 1.0 / 1500, "the zoom readout says %s, the map is shown at "
              "%.4f:1" % (self.zoom(), k))
        out = []
        for mx, my in points:
            p = (x + grain * round(mx * k / grain), y + grain * round(my * k / grain))
            if not out or p != out[-1]:
                out.append(p)
        return out

    def menu(self, path):
        """Chooses a menu item by its captions, e.g. ("File", "Exit"), by clicking like a user."""
        item = find(self.win, "menu item", path[0])
        for caption in path[1:]:
            click(item)
            popup = self.app.wait(lambda: next((c for c in children(item) if showing(c)), None),
                                  "menu %r to open" % name(item))
            item = self.app.wait(lambda: find(popup, "menu item", caption), "menu item %r" % caption)
        click(item)

    def menu_items(self, title):
        popup = find(find(self.win, "menu item", title), "popup menu", shown=False)
        return [name(c) for c in children(popup) if role(c) == "menu item"]


# ---- scenarios -----------------------------------------------------------------------------------------

class Scenario:
    """A fresh world for one scenario: a copy of the sample maps and help file to start from, and a home."""

    def __init__(self, name, binary, base):
        self.name, self.binary = name, binary
        self.tmp = os.path.join(base, name)
        self.home = os.path.join(self.tmp, "home")
        self.config = os.path.join(self.home, ".config")
        self.work = os.path.join(self.tmp, "work")
        self.maps = os.path.join(self.work, "Maps")
        self.ini = os.path.join(self.config, "Holloway", "Holloway.ini")
        os.makedirs(self.home)
        shutil.copytree(os.path.join(ROOT, "Maps"), self.maps)
        shutil.copy(os.path.join(ROOT, "mapwheel.hlp"), self.work)
        self.apps = []

    def write_settings(self, keys=SCALE_KEYS, **more):
        os.makedirs(os.path.dirname(self.ini), exist_ok=True)
        with open(self.ini, "w") as f:
            f.write("[Mapwheel]\n" + "".join("%s=%s\n" % kv for kv in {**keys, **more}.items()))

    def settings(self):
        if not os.path.exists(self.ini):
            return None
        ini = configparser.ConfigParser(interpolation=None)
        ini.optionxform = str
        ini.read(self.ini)
        return dict(ini["Mapwheel"]) if ini.has_section("Mapwheel") else {}

    def settings_bytes(self):
        return open(self.ini, "rb").read() if os.path.exists(self.ini) else None

    def launch(self):
        app = App(self)
        self.apps.append(app)
        return app.start()

    def open_first(self, app, map_name, first_run=False, prompt="1 km away"):
        """Start-up as a user goes through it: the splash, the file dialog, a map; then the calibration
        prompt (or, on a first run, the Scale Factors dialog). Returns the main window."""
        dialog = app.window("Open Map Image...", timeout=20)
        choose_file(dialog, os.path.join(self.maps, map_name))
        main = MainWindow(app)
        if not first_run:
            app.answer("Calibration Procedure", prompt)
        return main

    def finish(self, app):
        """Ends the program by File > Exit and checks that it ended cleanly."""
        before = self.settings_bytes()
        MainWindow(app).menu(("File", "Exit"))
        check(app.ended() == 0, "Exit ended the program with code %s" % app.proc.returncode)
        check(self.settings_bytes() == before, "Exit wrote to the settings file")


def choose_file(dialog, path):
    """Types a full path into the file dialog's file name box and presses Return."""
    box = find(dialog, "text", "File name:")
    click(box)
    key("ctrl+a")
    type_text(path)
    wait(lambda: text(box) == path, "the file name to be typed")
    key("Return")


def save_artifacts(scenario, artifacts, app):
    where = os.path.join(artifacts, scenario.name)
    os.makedirs(where, exist_ok=True)
    subprocess.run(["import", "-window", "root", os.path.join(where, "screen.png")], stderr=subprocess.DEVNULL)
    if app and app.proc and app.proc.poll() is None:
        with open(os.path.join(where, "tree.txt"), "w") as f:
            f.write(dump(app.root) + "\n")
    for i, a in enumerate(scenario.apps):
        if os.path.exists(a.err.name):
            shutil.copy(a.err.name, os.path.join(where, "stderr-%d.txt" % (i + 1)))
    if os.path.exists(scenario.ini):
        shutil.copy(scenario.ini, where)
    return where


def run_scenario(fn, name, binary, base, artifacts):
    s = Scenario(name, binary, base)
    error = None
    try:
        fn(s)
    except Exception as e:  # noqa: BLE001 - every failure is reported the same way
        error = "".join(traceback.format_exception_only(type(e), e)).strip()
        last = s.apps[-1] if s.apps else None
        if last and last.proc.poll() not in (None, 0) and "the program ended" not in error:
            error = "the program ended (exit code %s): %s" % (last.proc.returncode, error)
        elif not isinstance(e, Failure):
            error += "\n" + traceback.format_exc()
        error += "\n  screenshot, accessible tree and error output: %s" % save_artifacts(s, artifacts, last)
    finally:
        for a in s.apps:
            a.close()
    for i, a in enumerate(s.apps):
        report = [line for line in a.stderr.splitlines() if REPORTS.search(line)]
        if report and not error:
            error = "the program reported on its error output (run %d):\n    %s" % (i + 1, "\n    ".join(report[:10]))
            error += "\n  saved in %s" % save_artifacts(s, artifacts, None)
    return error


# ---- the world -----------------------------------------------------------------------------------------

def start_world(base):
    """A private X display (its number chosen by the server) with a window manager on it."""
    r, w = os.pipe()
    xvfb = spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "1600x1000x24", "-dpi", "96", "-nolisten", "tcp",
                  "-noreset"], pass_fds=(w,), stderr=open(os.path.join(base, "xvfb.log"), "w"))
    os.close(w)
    with os.fdopen(r) as display:
        number = display.readline().strip()  # written once the server takes connections
    check(number, "Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number
    wm = spawn(["openbox", "--config-file", "/etc/xdg/openbox/rc.xml"], stdout=subprocess.DEVNULL,
               stderr=open(os.path.join(base, "openbox.log"), "w"))
    wait(lambda: b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                 capture_output=True).stdout, "the window manager", 20)
    return [wm, xvfb]


def main(argv):
    ap = argparse.ArgumentParser(description="Runs black-box scenarios: GROUP or GROUP.SCENARIO, all by default.")
    ap.add_argument("--app", default=os.environ.get("MW_BLACKBOX_APP", os.path.join(ROOT, "build/app/mapwheel")))
    ap.add_argument("--artifacts", default=os.environ.get("MW_BLACKBOX_ARTIFACTS",
                                                          os.path.join(ROOT, "build/blackbox-artifacts")))
    ap.add_argument("wanted", nargs="*")
    opts = ap.parse_args(argv)
    binary, artifacts, wanted = os.path.abspath(opts.app), opts.artifacts, opts.wanted
    check(os.access(binary, os.X_OK), "no program at %s" % binary)
    groups = sorted(f[:-3] for f in os.listdir(os.path.join(HERE, "scenarios")) if f.endswith(".py"))
    wanted = wanted or groups
    base = os.environ.get("MW_BLACKBOX_TMP") or os.path.join("/tmp", "mapwheel-blackbox-%d" % os.getpid())
    os.makedirs(base, exist_ok=True)
    sys.path.insert(0, HERE)
    world = start_world(base)
    failed, ran, t0 = [], 0, time.monotonic()
    try:
        for w in wanted:
            group, _, only = w.partition(".")
            module = importlib.import_module("scenarios." + group)
            for fname in [n for n in dir(module) if n.startswith("scenario_") and (not only or n == "scenario_" + only)]:
                label = "%s.%s" % (group, fname[len("scenario_"):])
                t = time.monotonic()
                error = run_scenario(getattr(module, fname), label, binary, base, artifacts)
                ran += 1
                print("%s %s (%.1f s)" % ("FAIL" if error else "ok  ", label, time.monotonic() - t), flush=True)
                if error:
                    print("    " + error.replace("\n", "\n    "), flush=True)
                    failed.append(label)
    finally:
        for p in world:
            stop(p)
    print("%d of %d scenarios passed in %.0f s%s" % (ran - len(failed), ran, time.monotonic() - t0,
                                                     "; failed: " + ", ".join(failed) if failed else ""))
    return 1 if failed or not ran else 0


if __name__ == "__main__":
    sys.modules["harness"] = sys.modules[__name__]  # the scenarios import this very module
    sys.exit(main(sys.argv[1:]))
