"""The recent-files list: the File menu, the store behind it, and a restart."""

import os

from harness import MainWindow, check


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
