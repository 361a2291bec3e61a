# The recent-files list: the File menu, the store behind it, and a restart.

import os

from harness import check


def scenario_recent_files_menu_and_store(s):
    def lists(app, want, what):  # the File menu and the store
        check(app.menu_items("File") == ["Open Another Map"] + want + ["Exit"],
              "%s the File menu lists %r" % (what, app.menu_items("File")))
        stored = s.settings()
        check([stored.get("File%d" % i) for i in range(1, 10)] == want, "%s the store holds %r" % (what, stored))
    maps = [os.path.join(s.maps, m) for m in ("ashby-moor.gif", "cold-fell.jpg", "rushmere-edge.bmp")]
    others = ["/nowhere/old-%d.gif" % i for i in range(1, 9)]  # eight older entries: the list becomes full
    s.write_settings(**{"File%d" % (i + 1): p for i, p in enumerate([maps[1]] + others)})
    app = s.launch("ashby-moor.gif")
    lists(app, [maps[0], maps[1]] + others[:7], "at first")
    # The open map's own entry moves nothing; another recent map comes to the top.
    app.menu("File", maps[1])
    app.answer("Calibration Procedure", "1 km away")
    want = [maps[1], maps[0]] + others[:7]
    app.main().wait(lambda: app.menu_items("File") == ["Open Another Map"] + want + ["Exit"], "the list to reorder")
    lists(app, want, "after opening another")
    s.finish(app)
    # A restart shows the same list.
    app = s.launch("cold-fell.jpg")
    lists(app, want, "after a restart")
    s.finish(app)
