# The pop-up menu: which button released where opens it, where it opens, and what its items do.

from harness import check, click, extents


def scenario_opens_by_button_and_place(s):
    app = s.launch("ashby-moor.gif")
    mx, my, mw, mh = extents(app.map())
    fx, fy = extents(app.win)[0] + 60, my + mh // 2  # the viewport's own area, left of the map
    strip_x, strip_y, strip_w, _ = extents(app.button("Zoom In").get_parent())  # the toolbar strip
    zoom_x, zoom_y = extents(app.button("Zoom In"))[:2]
    zoom = app.zoom()
    # Over the map with the right and the middle button, and over the window's own background right of the
    # toolbar strip, a menu opens. Over the toolbar strip or one of its buttons, or over the viewport with
    # the left or the middle button, none does: the right release over the viewport that follows each is
    # the first to open one.
    for what, x, y, button in [("", mx + 300, my + 200, 3), ("", mx + 300, my + 200, 2),
                               ("a right release over the toolbar strip", strip_x + strip_w - 20, strip_y + 10, 3),
                               ("a right release over the Zoom In button", zoom_x + 10, zoom_y + 10, 3),
                               ("a left release over the viewport", fx, fy, 1),
                               ("a middle release over the viewport", fx, fy - 40, 2),
                               ("", strip_x + strip_w + 200, strip_y + 10, 3)]:
        n = len(app.popups)
        if what:
            click((x, y), button)
            x, y, button = fx, fy + 40, 3
        app.pick(app.popup((x, y), button, n, "after " + what if what else ""))
    check(app.zoom() == zoom, "a right release on the Zoom In button zoomed")
    s.finish(app)


def scenario_items_do_their_commands(s):
    app = s.launch("rushmere-edge.bmp")
    mx, my = extents(app.map())[:2]
    fitted = app.zoom()
    app.pick(app.popup((mx + 400, my + 300)), "Zoom In")
    zoomed = app.wait(lambda: app.zoom() != fitted and app.zoom(), "Zoom In to change the zoom readout")
    for item, want in [("Zoom Out", fitted), ("Zoom In", zoomed), ("Zoom to Fit", fitted)]:
        app.pick(app.popup((mx + 400, my + 300)), item)
        app.wait(lambda: app.zoom() == want, "%s to show %s" % (item, want))
    app.pick(app.popup((mx + 400, my + 300)), "Recalibrate")
    app.answer("Calibration Procedure", "1 km away")
    app.pick(app.popup((mx + 400, my + 300)), "Scale Factors...")
    app.press(app.window("Scale Factors"), "Cancel", "the Scale Factors dialog")
    s.finish(app)
