# Black-box harness: starts the program on a private X display under a window manager, drives it only with
# real input through the X server (xdotool, which sends through XTEST) and reads what the user sees through
# the accessibility bus. Run through run.sh, which gives it its own session bus.

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
OPEN = "Open Map Image..."
POPUP_ITEMS = ["Open Another Map", "Zoom In", "Zoom Out", "Zoom to Fit", "Recalibrate", "Scale Factors...", "Reset"]
# A report of any of these on the program's error output fails the scenario, whatever it saw on screen.
REPORTS = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|Invalid (read|write|free)"
                     r"|Conditional jump|uninitialised|Mismatched free|ERROR SUMMARY: [1-9]")


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def spawn(cmd, **kw):
    def die_with_parent():
        ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: nothing outlives the harness
        os.setpgrp()
    return subprocess.Popen(cmd, preexec_fn=die_with_parent, **kw)


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


# Polls pred until it gives something true, and returns that; fails after timeout (seconds, scaled), or at
# once if the program app runs ends.
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
        if app and app.proc.poll() is not None:
            raise Failure("the program ended (exit code %s) while waiting for %s" % (app.proc.returncode, what))
        check(time.monotonic() <= deadline, "timed out waiting for %s" % what)
        time.sleep(0.01)


# ---- what the user sees --------------------------------------------------------------------------------

def name(a):
    return a.get_name() or ""


def role(a):
    return a.get_role_name()


def state(a, which):  # which: "showing", "active", "checked", "enabled"...
    return a.get_state_set().contains(getattr(Atspi.StateType, which.upper()))


def showing(a):
    return state(a, "showing")


def children(a):
    return [c for c in (a.get_child_at_index(i) for i in range(a.get_child_count())) if c]


def text(a):
    return Atspi.Text.get_text(a, 0, -1) if a.get_text_iface() else name(a)


def extents(a):
    r = Atspi.Component.get_extents(a, Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


# Of that role (if given) and name (or a name that passes name_, a test), and showing unless shown is False.
def matches(a, role_=None, name_=None, shown=True):
    return ((not role_ or role(a) == role_) and (not shown or showing(a)) and
            (name_ is None or (name_(name(a)) if callable(name_) else name(a) == name_)))


def find_all(root, role_=None, name_=None, shown=True):  # root and all below it, breadth first
    todo = [root]
    while todo:
        a = todo.pop(0)
        if matches(a, role_, name_, shown):
            yield a
        todo.extend(children(a))


def find(root, role_=None, name_=None, shown=True):
    return next(find_all(root, role_, name_, shown), None)


def dump(a, depth=0):
    try:
        line = "%s%s %r" % ("  " * depth, role(a), name(a))
        line += " text=%r" % text(a) if a.get_text_iface() else ""
        line += " at %s" % (extents(a),) if a.get_component_iface() else ""
        line += "" if showing(a) else " (hidden)"
        return "\n".join([line] + [dump(c, depth + 1) for c in children(a)])
    except GLib.Error as e:
        return "%s(gone: %s)" % ("  " * depth, e)


# ---- real input through the X server -------------------------------------------------------------------

def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def click(where, button=1):  # where: a point on screen, or an accessible whose centre is clicked
    if not isinstance(where, tuple):
        x, y, w, h = extents(where)
        where = (x + w // 2, y + h // 2)
    xdo("mousemove", *where, "click", button)


def key(*keys):
    xdo("key", "--clearmodifiers", *keys)


# ---- the program ---------------------------------------------------------------------------------------

class App:
    """One run of the program with a home of its own (its settings file lives there), and its main window
    as the user sees it (once main() has found it): caption, meters, zoom readout, map, menus."""

    def __init__(self, s):
        s.apps.append(self)
        self.s, self.proc, self.stderr = s, None, ""
        self.popups = []  # pop-up menus shown at the pointer, newest last (they are not in the tree)
        self._listener = Atspi.EventListener.new(self._event)
        self._listener.register("object:state-changed:showing")
        env = dict(os.environ, HOME=s.home, XDG_CONFIG_HOME=s.config, TMPDIR=s.tmp, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        self.err = open(os.path.join(s.tmp, "stderr-%d.txt" % len(s.apps)), "w")
        self.proc = spawn(os.environ.get("MW_BLACKBOX_WRAPPER", "").split() + [s.binary], cwd=s.work, env=env,
                          stdout=self.err, stderr=subprocess.STDOUT)
        self.root = self.wait(lambda: next((a for a in children(Atspi.get_desktop(0))
                                            if a.get_process_id() == self.proc.pid), None),
                              "the program on the accessibility bus", 30)

    def _event(self, e):
        try:
            # The pop-up menu is known by its Reset item, which no menu of the menu bar has.
            if role(e.source) == "popup menu" and e.detail1 and find(e.source, "menu item", "Reset", False):
                self.popups.append(e.source)
        except GLib.Error:
            pass

    def wait(self, pred, what, timeout=10):
        return wait(pred, what, timeout, self)

    def windows(self):
        return [w for w in children(self.root) if showing(w)]

    def window(self, title, role_=None, timeout=10, active=True):
        """The window whose caption is title (or passes title, a test), once it shows; unless active is
        False, once it is also the active window and has come to rest where the window manager put it."""
        what = "a window %s" % (title if isinstance(title, str) else "as expected")
        w = self.wait(lambda: next((w for w in self.windows() if matches(w, role_, title)), None), what, timeout)
        seen = []
        self.wait(lambda: not active or state(w, "active") and seen[-1:] == [extents(w)] or seen.append(extents(w)),
                  what + " to be active and still")
        return w

    def gone(self, window, what):
        self.wait(lambda: window not in self.windows(), "%s to close" % what)

    def press(self, window, button, what):  # a button that closes its window
        click(find(window, "push button", button))
        self.gone(window, what)

    def answer(self, title, expect=None, timeout=10):
        """Waits for the message box titled title, checks that its text holds expect, and presses its OK.
        Returns its text."""
        box = self.window(title, "alert", timeout)
        said = "\n".join(name(a) for a in find_all(box, "label") if name(a))
        check(expect is None or expect in said, "message %r says %r, not %r" % (title, said, expect))
        self.press(box, "OK", "message %r" % title)
        return said

    def file_dialog(self, folder=None, timeout=10):
        """The file dialog, once it shows; with folder, it must have opened there and with no file name."""
        dialog = self.window(OPEN, timeout=timeout)
        if folder:
            shown = name(find(dialog, "combo box", lambda n: n.startswith("/")))
            check(shown == folder, "the file dialog opened in %r, not in %r" % (shown, folder))
            check(text(find(dialog, "text", "File name:")) == "", "the file name box is not empty")
        return dialog

    def choose(self, path, dialog):  # types a full path into the file dialog's file name box, and Return
        box = find(dialog, "text", "File name:")
        click(box)
        key("ctrl+a")
        xdo("type", "--delay", 15, "--", path)
        wait(lambda: text(box) == path, "the file name to be typed")
        key("Return")

    def main(self):  # waits for the main window to show
        self.win = self.window(lambda t: t.startswith("Mapwheel v"), "frame", active=False)
        return self

    def opened(self, path, zoom=None):
        """The main window shows the map at path just opened: in its caption, with cleared meters, and at
        zoom (if given)."""
        self.main()
        check(self.caption().endswith(":-  " + path), "after the open the caption is %r" % self.caption())
        check(self.meters()[:2] == ("0.000", "0.000"), "the new map's meters read %r" % (self.meters(),))
        check(self.zoom().endswith(":1") and zoom in (None, self.zoom()),
              "the new map shows at %r, not %s" % (self.zoom(), zoom or "at a zoom"))

    def ended(self, timeout=10):  # waits for the program to end; its exit code
        wait(lambda: self.proc.poll() is not None, "the program to end", timeout)
        return self.proc.returncode

    def close(self):
        stop(self.proc)
        self._listener.deregister("object:state-changed:showing")
        self.err.close()
        with open(self.err.name, errors="replace") as f:
            self.stderr = f.read()

    def caption(self):
        return name(self.win)

    def meters(self):
        """The two meters and the sample count, read between two samples (the count the same before and
        after), so that the three belong together."""
        count, primary, secondary = (find(self.win, "text", n, shown=False)
                                     for n in ("Sample count", "Primary distance", "Secondary distance"))
        while True:
            before, shown = text(count), (text(primary), text(secondary))
            if text(count) == before:
                return shown + (before,)

    def units(self):
        return tuple(text(find(self.win, "text", n, shown=False)) for n in ("Primary unit", "Secondary unit"))

    def zoom(self):
        return name(find(self.win, "label", lambda n: n.endswith(":1")))

    def zoomed(self, command, *args):  # command(*args) must change the zoom readout; the new one
        before = self.zoom()
        command(*args)
        return self.wait(lambda: self.zoom() != before and self.zoom(), "the zoom readout to change from " + before)

    def view(self):  # what a failed or cancelled open must leave as it was
        return self.caption(), self.meters(), self.zoom(), self.menu_items("File")

    def map(self):
        return find(self.win, "filler", "Map")

    def button(self, tip):
        return find(self.win, "push button", tip)

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

    def menu(self, title, item, window=None):
        """Chooses a menu item by its captions, e.g. ("File", "Exit"), by clicking like a user; with window,
        returns the window of that caption that it opens."""
        top = find(self.win, "menu item", title)
        click(top)
        popup = self.wait(lambda: next((c for c in children(top) if showing(c)), None), "menu %r to open" % title)
        click(self.wait(lambda: find(popup, "menu item", item), "menu item %r" % item))
        return window and self.window(window)

    def menu_items(self, title):
        popup = find(find(self.win, "menu item", title), "popup menu", shown=False)
        return [name(c) for c in children(popup) if role(c) == "menu item"]

    def popup(self, where, button=3, since=None, after=""):
        """Releases button at where (a point on screen) and returns the pop-up menu that then shows there (its
        top-left corner at the pointer), which must be the only one opened since there were since; after
        says what came before, for the messages."""
        since = len(self.popups) if since is None else since
        click(where, button)

        def at_pointer():
            if len(self.popups) > since and showing(self.popups[-1]):
                x, y = extents(self.popups[-1])[:2]
                return abs(x - where[0]) <= 2 and abs(y - where[1]) <= 2
        try:
            self.wait(at_pointer, "a pop-up menu at the pointer %s" % (where,))
        except Failure as e:
            raise Failure("%s; %d opened %s" % (e, len(self.popups) - since, after))
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
        self.wait(lambda: not showing(menu), "the pop-up menu to close")


# ---- scenarios -----------------------------------------------------------------------------------------

class Scenario:
    """A fresh world for one scenario: a copy of the sample maps and help file to start from, and a home
    whose settings hold the default scale, as a first run leaves them."""

    def __init__(self, name, binary, base):
        self.name, self.binary, self.apps = name, binary, []
        self.tmp = os.path.join(base, name)
        self.home, self.work = os.path.join(self.tmp, "home"), os.path.join(self.tmp, "work")
        self.config, self.maps = os.path.join(self.home, ".config"), os.path.join(self.work, "Maps")
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

    def settings_bytes(self):
        return open(self.ini, "rb").read() if os.path.exists(self.ini) else None

    def launch(self, map_name=None, prompt="1 km away"):
        """Starts the program; with map_name, goes through start-up as a user does: the splash, the file
        dialog, the map; then the calibration prompt, unless prompt is None (a first run)."""
        app = App(self)
        if map_name:
            app.choose(os.path.join(self.maps, map_name), app.file_dialog(timeout=20))
            app.main()
            if prompt:
                app.answer("Calibration Procedure", prompt)
        return app

    def finish(self, app, how=None, what="Exit", before=None):
        """Ends the program, by File > Exit unless how does it otherwise, and checks that it ended with code
        0 and left the settings file as it was (or as it was before)."""
        before = self.settings_bytes() if before is None else before
        how() if how else app.main().menu("File", "Exit")
        check(app.ended() == 0, "%s ended the program with code %s" % (what, app.proc.returncode))
        check(self.settings_bytes() == before, "%s wrote to the settings file" % what)

    def save_artifacts(self, artifacts, app):
        where = os.path.join(artifacts, self.name)
        os.makedirs(where, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(where, "screen.png")], stderr=subprocess.DEVNULL)
        if app and app.proc and app.proc.poll() is None:
            with open(os.path.join(where, "tree.txt"), "w") as f:
                f.write(dump(app.root) + "\n")
        for f in [a.err.name for a in self.apps] + [self.ini]:
            if os.path.exists(f):
                shutil.copy(f, where)
        return where

    def run(self, fn, artifacts):  # the error, if the scenario fails
        error = None
        try:
            fn(self)
        except Exception as e:  # noqa: BLE001 - every failure is reported the same way
            error = "".join(traceback.format_exception_only(type(e), e)).strip()
            last = self.apps[-1] if self.apps else None
            if last and last.proc.poll() not in (None, 0) and "the program ended" not in error:
                error = "the program ended (exit code %s): %s" % (last.proc.returncode, error)
            elif not isinstance(e, Failure):
                error += "\n" + traceback.format_exc()
            error += "\n  screenshot, accessible tree and error output: %s" % self.save_artifacts(artifacts, last)
        finally:
            for a in self.apps:
                a.close()
        reports = ["run %d: %s" % (i, line) for i, a in enumerate(self.apps, 1) for line in a.stderr.splitlines()
                   if REPORTS.search(line)]
        if reports and not error:
            error = "the program reported on its error output:\n    %s\n  saved in %s" % (
                "\n    ".join(reports[:10]), self.save_artifacts(artifacts, None))
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
    binary = os.path.abspath(opts.app)
    check(os.access(binary, os.X_OK), "no program at %s" % binary)
    wanted = opts.wanted or sorted(f[:-3] for f in os.listdir(os.path.join(HERE, "scenarios")) if f.endswith(".py"))
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
                error = Scenario(label, binary, base).run(getattr(module, fname), opts.artifacts)
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
