"""A second map through each way of opening one, the recent-files list, and maps that cannot be opened."""

import os
import random

from harness import MainWindow, check, choose_file, click, extents, find, key, name, showing, text
from meter import Meters, calibrate, stroke


def measure_a_little(app, main):
    """Calibrates on one grid square and traces a stroke, checked against the measuring rules."""
    meters = Meters(main.tpp())
    calibrate(app, main, meters, *main.to_screen([(375, 375), (625, 375)]))
    stroke(app, main, meters, main.to_screen([(400, 400), (450, 420), (500, 400), (560, 430), (600, 480)]))
    return meters


def second_map(s, open_command, pick=True, **settings):
    """Opens Ashby Moor at start-up and measures on it, then opens Cold Fell with open_command; the new map
    must show, fitted, with cleared meters and the calibration prompt, and measure in its turn."""
    s.write_settings(**settings)
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    measure_a_little(app, main)
    fitted = main.zoom()
    key("ctrl+i")
    app.wait(lambda: main.zoom() != fitted, "the zoom to change")
    cold = os.path.join(s.maps, "cold-fell.jpg")
    open_command(app, main)
    if pick:
        dialog = app.window("Open Map Image...")
        folder = name(find(dialog, "combo box", lambda n: n.startswith("/")))
        check(folder == s.maps, "the file dialog opened in %r, not in the last map's folder" % folder)
        check(text(find(dialog, "text", "File name:")) == "", "the file name box is not empty")
        choose_file(dialog, cold)
    app.answer("Calibration Procedure", "1 km away")
    main = MainWindow(app)
    check(main.caption().endswith(":-  " + cold), "after the open the caption is %r" % main.caption())
    check(main.meters()[:2] == ("0.000", "0.000"), "the new map's meters read %r" % (main.meters(),))
    check(main.zoom() == fitted, "the new map shows at %s, not fitted at %s" % (main.zoom(), fitted))
    check(main.menu_items("File")[:3] == ["Open Another Map", cold, os.path.join(s.maps, "ashby-moor.gif")],
          "the File menu lists %r" % main.menu_items("File"))
    measure_a_little(app, main)
    s.finish(app)


def scenario_second_map_from_file_menu(s):
    second_map(s, lambda app, main: main.menu(("File", "Open Another Map")))


def scenario_second_map_from_toolbar(s):
    second_map(s, lambda app, main: click(main.button("Open another map file")))


def scenario_second_map_from_popup_menu(s):
    def popup(app, main):
        x, y = extents(main.map())[:2]
        n = len(app.popups)
        click((x + 300, y + 300), 3)
        menu = app.wait(lambda: len(app.popups) > n and showing(app.popups[-1]) and app.popups[-1], "the pop-up menu")
        click(find(menu, "menu item", "Open Another Map"))
    second_map(s, popup)


def scenario_second_map_by_ctrl_o(s):
    second_map(s, lambda app, main: key("ctrl+o"))


def scenario_second_map_from_recent_files(s):
    cold = os.path.join(s.maps, "cold-fell.jpg")
    second_map(s, lambda app, main: main.menu(("File", cold)), pick=False, File1=cold)


def scenario_recent_files_menu_and_store(s):
    maps = [os.path.join(s.maps, m) for m in ("ashby-moor.gif", "cold-fell.jpg", "rushmere-edge.bmp")]
    others = ["/nowhere/old-%d.gif" % i for i in range(1, 9)]  # eight older entries: the list becomes full
    s.write_settings(**{"File%d" % (i + 1): p for i, p in enumerate([maps[1]] + others)})
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    want = [maps[0], maps[1]] + others[:7]
    check(main.menu_items("File") == ["Open Another Map"] + want + ["Exit"],
          "the File menu lists %r" % main.menu_items("File"))
    stored = s.settings()
    check([stored.get("File%d" % i) for i in range(1, 10)] == want, "the store holds %r" % stored)
    # The open map's own entry moves nothing; another recent map comes to the top.
    main.menu(("File", maps[1]))
    app.answer("Calibration Procedure", "1 km away")
    main = MainWindow(app)
    want = [maps[1], maps[0]] + others[:7]
    app.wait(lambda: main.menu_items("File") == ["Open Another Map"] + want + ["Exit"], "the list to reorder")
    stored = s.settings()
    check([stored.get("File%d" % i) for i in range(1, 10)] == want, "the store holds %r" % stored)
    s.finish(app)
    # A restart shows the same list.
    app = s.launch()
    main = s.open_first(app, "cold-fell.jpg")
    check(main.menu_items("File") == ["Open Another Map"] + want + ["Exit"], "after a restart the list is %r"
          % main.menu_items("File"))
    s.finish(app)


def bad_maps(folder, maps):
    """Files that are not maps that can be opened, with what the message must say of each."""
    def cut(src, dst, keep):
        data = open(os.path.join(maps, src), "rb").read()
        open(os.path.join(folder, dst), "wb").write(data[:int(len(data) * keep)])

    cut("cold-fell.jpg", "cut-short.jpg", 0.5)
    cut("rushmere-edge.bmp", "cut-short.bmp", 0.4)
    open(os.path.join(folder, "noise.gif"), "wb").write(random.Random(7).randbytes(20000))
    open(os.path.join(folder, "notes.jpg"), "w").write("A list of walks, not a picture.\n" * 20)
    # A BMP header claiming 200000 x 200000 pixels (160 GB decoded) and no more.
    header = b"BM" + (54).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    header += (40).to_bytes(4, "little") + (200000).to_bytes(4, "little") + (200000).to_bytes(4, "little")
    header += (1).to_bytes(2, "little") + (32).to_bytes(2, "little") + bytes(24)
    open(os.path.join(folder, "huge.bmp"), "wb").write(header)
    return [("cut-short.jpg", "damaged"), ("cut-short.bmp", "damaged"), ("noise.gif", "not a picture"),
            ("notes.jpg", "not a picture"), ("huge.bmp", "200000 x 200000 pixels")]


def scenario_bad_maps_leave_the_good_one_open(s):
    s.write_settings()
    folder = os.path.join(s.tmp, "bad")
    os.makedirs(folder)
    app = s.launch()
    main = s.open_first(app, "rushmere-edge.bmp")
    meters = measure_a_little(app, main)
    fitted = main.zoom()
    key("ctrl+i")
    meters.zoom_in()
    app.wait(lambda: main.zoom() != fitted, "the zoom to change")
    before = (main.caption(), main.meters(), main.zoom())
    for file, reason in bad_maps(folder, s.maps):
        key("ctrl+o")
        choose_file(app.window("Open Map Image..."), os.path.join(folder, file))
        said = app.answer("Map Not Opened")
        check(file in said and reason in said, "opening %s said %r" % (file, said))
        main = MainWindow(app)
        check((main.caption(), main.meters(), main.zoom()) == before,
              "after %s the window shows %r, not %r" % (file, (main.caption(), main.meters(), main.zoom()), before))
    # Still calibrated: a further stroke adds to the count.
    stroke(app, main, meters, main.to_screen([(700, 500), (760, 540), (820, 560), (880, 600)]))
    s.finish(app)
