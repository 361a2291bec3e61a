"""The pop-up menu: which button released where opens it, where it opens, and what its items do."""

from harness import Failure, check, children, click, extents, find, key, name, pump, role, showing, xdo

ITEMS = ["Open Another Map", "Zoom In", "Zoom Out", "Zoom to Fit", "Recalibrate", "Scale Factors...", "Reset"]


def release_at(x, y, button):
    xdo("mousemove", x, y, "click", button)


def next_popup(app, where, count_before, after=""):
    """The pop-up menu, once it shows at where (its top-left corner at the pointer), which must be the
    only one opened since count_before."""
    def at_pointer():
        if len(app.popups) > count_before and showing(app.popups[-1]):
            x, y = extents(app.popups[-1])[:2]
            return abs(x - where[0]) <= 2 and abs(y - where[1]) <= 2
    try:
        app.wait(at_pointer, "a pop-up menu at the pointer %s" % (where,))
    except Failure as e:
        raise Failure("%s; %d opened %s" % (e, len(app.popups) - count_before, after))
    pump()  # the news of any menu opened before this one has come in by now
    check(len(app.popups) == count_before + 1, "%d pop-up menus opened %s; one was expected, at the pointer %s"
          % (len(app.popups) - count_before, after, where))
    menu = app.popups[-1]
    items = [name(c) for c in children(menu) if role(c) == "menu item"]
    check(items == ITEMS, "the pop-up menu holds %r" % items)
    return menu


def dismiss(app, menu):
    key("Escape")
    app.wait(lambda: not showing(menu), "the pop-up menu to close")


def scenario_opens_by_button_and_place(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    mx, my, mw, mh = extents(main.map())
    fx, fy = extents(main.win)[0] + 60, my + mh // 2  # the viewport's own area, left of the map

    for button in (3, 2):  # right, then middle, over the map
        n = len(app.popups)
        release_at(mx + 300, my + 200, button)
        dismiss(app, next_popup(app, (mx + 300, my + 200), n))

    # Over the toolbar strip or one of its buttons, or over the viewport with the left or the middle button,
    # no menu opens: the right release over the viewport that follows each is the first to open one.
    strip_x, strip_y, strip_w, _ = extents(main.button("Zoom In").get_parent())  # the toolbar strip
    zoom = main.zoom()
    zoom_x, zoom_y = extents(main.button("Zoom In"))[:2]
    for what, x, y, button in [("a right release over the toolbar strip", strip_x + strip_w - 20, strip_y + 10, 3),
                               ("a right release over the Zoom In button", zoom_x + 10, zoom_y + 10, 3),
                               ("a left release over the viewport", fx, fy, 1),
                               ("a middle release over the viewport", fx, fy - 40, 2)]:
        n = len(app.popups)
        release_at(x, y, button)
        release_at(fx, fy + 40, 3)
        dismiss(app, next_popup(app, (fx, fy + 40), n, "after " + what))
    check(main.zoom() == zoom, "a right release on the Zoom In button zoomed")

    # The window's own background, right of the toolbar strip.
    n = len(app.popups)
    release_at(strip_x + strip_w + 200, strip_y + 10, 3)
    dismiss(app, next_popup(app, (strip_x + strip_w + 200, strip_y + 10), n))
    s.finish(app)


def scenario_items_do_their_commands(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "rushmere-edge.bmp")
    mx, my = extents(main.map())[:2]

    def choose(item):
        n = len(app.popups)
        release_at(mx + 400, my + 300, 3)
        menu = next_popup(app, (mx + 400, my + 300), n)
        click(next(c for c in children(menu) if name(c) == item))
        app.wait(lambda: not showing(menu), "the pop-up menu to close")

    fitted = main.zoom()
    choose("Zoom In")
    zoomed = app.wait(lambda: main.zoom() != fitted and main.zoom(), "Zoom In to change the zoom readout")
    choose("Zoom Out")
    app.wait(lambda: main.zoom() == fitted, "Zoom Out to come back to " + fitted)
    choose("Zoom In")
    app.wait(lambda: main.zoom() == zoomed, "Zoom In again")
    choose("Zoom to Fit")
    app.wait(lambda: main.zoom() == fitted, "Zoom to Fit to show " + fitted)
    choose("Recalibrate")
    app.answer("Calibration Procedure", "1 km away")
    choose("Scale Factors...")
    dialog = app.window("Scale Factors")
    click(find(dialog, "push button", "Cancel"))
    app.gone(dialog, "the Scale Factors dialog")
    s.finish(app)
