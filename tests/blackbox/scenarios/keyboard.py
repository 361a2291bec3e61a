# The keyboard and the wheel in the main window and its dialogs, beside the mouse and the menus, and what a
# whole session leaves in the home folder.

import os

from gi.repository import Atspi

from harness import POPUP_ITEMS, check, children, click, extents, find, find_all, key, name, role, state, xdo


def bars(app):  # the (horizontal, vertical) scroll bars, once both show
    def both():
        shown = list(find_all(app.win, "scroll bar"))
        h = [b for b in shown if extents(b)[2] > extents(b)[3]]
        v = [b for b in shown if extents(b)[2] < extents(b)[3]]
        return h and v and (h[0], v[0])
    return app.wait(both, "both scroll bars")


def position(bar): return round(Atspi.Value.get_current_value(bar))


def focused(root): return next((a for a in find_all(root) if state(a, "focused")), None)


def focus_name(root):
    a = focused(root)
    return a and "%s %r" % (role(a), name(a))


def moved(app, bar, by, send, what):  # send() must move bar by the given positions, and nothing else
    h, v = (position(b) for b in bars(app))
    before, zoom = position(bar), app.zoom()
    send()
    app.wait(lambda: position(bar) == before + by, lambda: "%s to move a bar by %d from %d (at %d)"
             % (what, by, before, position(bar)))
    check(app.zoom() == zoom, "%s zoomed" % what)
    other = [b for b in bars(app) if b != bar][0]
    check(position(other) == (h, v)[bars(app).index(other)], "%s also moved the other bar" % what)


def with_keys(*keys_down):  # sends xdotool commands with keys held, without clearing them (the button stays)
    def send(*args):
        xdo(*[a for k in keys_down for a in ("keydown", k)], *args, *[a for k in keys_down for a in ("keyup", k)])
    return send


def scenario_wheel_and_keys_scroll_and_zoom(s):
    app = s.launch("cold-fell.jpg")
    check(focus_name(app.win) == "frame 'Map view'", "after the open the focus is on %s" % focus_name(app.win))
    fitted = app.zoom()
    for _ in range(5):
        app.zoomed(key, "ctrl+plus")
    app.zoomed(key, "ctrl+minus")
    hbar, vbar = bars(app)
    xdo("mousemove", *(v + d // 2 for v, d in zip(extents(app.map())[:2], extents(app.map())[2:])))
    moved(app, vbar, 3, lambda: xdo("click", 5), "a notch of the wheel")
    moved(app, vbar, -3, lambda: xdo("click", 4), "a notch of the wheel back")
    moved(app, hbar, 3, lambda: with_keys("shift")("click", 5), "Shift with the wheel")
    moved(app, vbar, 1, lambda: key("Down"), "the Down key")
    moved(app, hbar, -1, lambda: key("Left"), "the Left key")
    key("Prior", "Prior", "Prior")
    app.wait(lambda: position(vbar) == 0, "Page Up to bring the map's top into view")
    key("Next")
    app.wait(lambda: position(vbar) > 3, "Page Down to move the map down by a page, more than the wheel")
    moved(app, vbar, -position(vbar), lambda: key("Prior"), "Page Up")
    app.zoomed(with_keys("ctrl"), "click", 4)
    app.zoomed(with_keys("ctrl"), "click", 5)
    app.zoomed(key, "ctrl+f")
    check(app.zoom() == fitted, "Zoom To Fit shows %s, not %s" % (app.zoom(), fitted))
    check(not list(find_all(app.win, "scroll bar")), "the bars show with the whole map in view")
    xdo("click", 5)
    key("Down")
    check(app.zoom() == fitted, "the wheel or a key changed the fitted view")
    s.finish(app)


def scenario_no_key_or_wheel_changes_a_stroke(s):
    # The points of a drag belong to the view it began in: no zoom or scroll happens until the release.
    app = s.launch("rushmere-edge.bmp")
    app.calibrate((375, 375), (625, 375))
    for _ in range(4):
        app.zoomed(key, "ctrl+i")
    hbar, vbar = bars(app)
    shown = app.zoom(), position(hbar), position(vbar), extents(app.map())
    a, b = app.to_screen([(400, 400), (500, 400)])
    xdo("mousemove", *a, "mousedown", 1, "mousemove", *b)
    app.wait(lambda: app.meters()[2] == "2", "the second sample")
    with_keys("ctrl")("click", 4)
    xdo("key", "ctrl+plus", "ctrl+minus", "Down", "Next", "Right", "Menu", "shift+F10")
    xdo("click", 5)
    with_keys("shift")("click", 5)
    xdo("mousemove", *a)
    app.wait(lambda: app.meters()[2] == "3", "the third sample, after the keys and the wheel")
    check((app.zoom(), position(hbar), position(vbar), extents(app.map())) == shown,
          "the view changed during a stroke: %r, was %r" % ((app.zoom(), position(hbar), position(vbar),
                                                             extents(app.map())), shown))
    check(not any(state(p) for p in app.popups), "a pop-up menu opened during a stroke")
    xdo("mouseup", 1)
    app.zoomed(key, "ctrl+plus")  # once the stroke has ended
    s.finish(app)


def scenario_tab_menu_key_and_help_keys(s):
    app = s.launch("ashby-moor.gif")
    for keys in ("Menu", "shift+F10"):
        n = len(app.popups)
        key(keys)
        app.wait(lambda: len(app.popups) > n and state(app.popups[-1]), "%s to open the pop-up menu" % keys)
        x, y, w, h = extents(app.popups[-1])
        mx, my, mw, mh = extents(find(app.win, "frame", "Map view"))
        check(mx <= x <= mx + mw and my <= y <= my + mh, "%s opened the pop-up at %s, not over the view" % (keys, (x, y)))
        items = [name(c) for c in children(app.popups[-1]) if role(c) == "menu item"]
        check(items == POPUP_ITEMS, "the pop-up menu holds %r" % items)
        if keys == "Menu":
            app.pick(app.popups[-1])  # closed by Escape
    fitted = app.zoom()
    key("i")  # the mnemonic of Zoom In
    app.wait(lambda: app.zoom() != fitted, "the pop-up's Zoom In by its mnemonic")

    meters = ["text 'Primary distance'", "text 'Primary unit'", "text 'Secondary distance'", "text 'Secondary unit'"]
    for want in meters + ["frame 'Map view'"]:
        key("Tab")
        app.wait(lambda: focus_name(app.win) == want, lambda: "Tab to reach %s (at %s)" % (want, focus_name(app.win)))
        for keys in ("Menu", "shift+F10") if want in meters else ():  # on a box, its own menu, not the map's
            n = len(app.popups)
            key(keys)
            menu = app.wait(lambda: app.menus and state(app.menus[-1]) and find(app.menus[-1], "menu item", lambda t:
                            t.startswith("Copy\t")) and app.menus[-1], "%s on %s to open its Copy menu" % (keys, want))
            check(len(app.popups) == n, "%s on %s opened the map's pop-up" % (keys, want))
            app.pick(menu)
    key("Tab")
    app.wait(lambda: focus_name(app.win) == meters[0], "Tab to reach the primary meter")
    xdo("type", "12")
    check(app.meters()[:2] == ("0.000", "0.000"), "typing changed a meter to %r" % (app.meters(),))

    key("F1")
    help_window = app.window("Mapwheel Help Topics")
    key("Escape")
    app.gone(help_window, "the help window, by Escape")
    app.wait(lambda: state(app.win, "active"), "the main window to be active")
    key("alt+h")
    key("r")  # Display Readme.Txt
    readme = app.window("Readme.Txt")
    key("Escape")
    app.gone(readme, "the read-me window, by Escape")
    s.finish(app, lambda: key("ctrl+q"), "Ctrl+Q")


def scenario_scale_factors_by_keyboard(s):
    app = s.launch("cold-fell.jpg")
    key("alt+t")
    key("s")
    dialog = app.window("Scale Factors")
    options = [a for a in find_all(dialog, "radio button")]
    chosen = [name(a) for a in options if state(a, "checked")]
    check(chosen == ["1 km"], "the options checked are %r" % chosen)
    for _ in range(12):  # round the dialog: the options are met once, at the chosen one
        key("Tab")
        app.wait(lambda: focused(dialog), "a control of the dialog to take the focus")
        a = focused(dialog)
        check(role(a) != "radio button" or name(a) == "1 km", "Tab into the distances landed on %r" % name(a))
    key("alt+d")
    app.wait(lambda: focus_name(dialog) == "radio button '1 km'", "Alt+D to reach the chosen distance")
    key("Down")  # the next distance, chosen by the arrow key
    app.wait(lambda: state(find(dialog, "radio button", "10 km"), "checked"), "the Down key to choose 10 km")
    key("alt+w")
    app.wait(lambda: state(find(dialog, "check box", "Overwrite Defaults on Exit"), "checked"), "Alt+W to tick the box")
    key("Escape")
    app.gone(dialog, "the Scale Factors dialog, by Escape")
    check(s.settings()["CalFact"] == "1", "Escape saved the settings")
    s.finish(app)


def scenario_home_holds_only_the_settings(s):
    # A whole session: open, calibrate, trace, open another map, help, Scale Factors saved, exit.
    def files():
        return sorted(os.path.relpath(os.path.join(d, f), s.home) for d, _, fs in os.walk(s.home) for f in fs)
    before = files()
    app = s.launch("ashby-moor.gif")
    app.calibrate((375, 375), (625, 375))
    app.trace([(400, 600), (500, 600), (600, 600)])
    app.menu("File", "Open Another Map")
    app.file_dialog(path=os.path.join(s.maps, "cold-fell.jpg"))
    app.main().answer("Calibration Procedure", "1 km away")
    key("F1")
    help_window = app.window("Mapwheel Help Topics")
    key("Escape")
    app.gone(help_window, "the help window")
    dialog = app.menu("Tools", "Scale Factors...", "Scale Factors")
    click(find(dialog, "check box", "Overwrite Defaults on Exit"))
    app.press(dialog, "OK", "the Scale Factors dialog")
    app.answer("Calibration Procedure", "1 km away")
    app.menu("File", "Exit")
    app.wait(lambda: app.proc.poll() is not None, "the program to end")
    check(before == [".config/Holloway/Holloway.ini"], "the home held %r to begin with" % before)
    check(files() == before, "after a session the home holds %r" % files())
