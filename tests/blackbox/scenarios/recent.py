# The recent-files list: the File menu, the store behind it, and a restart.

import os, shutil

from harness import check, find
from scenarios.scaling import pick


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


def scenario_settings_that_cannot_be_saved(s):
    # The settings folder's name is taken by a file: nothing can be saved, even by root. The user is told,
    # once a run for the recent maps and at each save of the defaults; the run goes on with the new units,
    # and the File menu lists the open map (the list is read back from the store at every open).
    shutil.rmtree(os.path.dirname(s.ini))
    open(os.path.dirname(s.ini), "w").close()
    app = s.launch("ashby-moor.gif", prompt=None)
    app.answer("Mapwheel", "The list of recent maps could not be saved: cannot create %s." % s.ini)
    dialog = app.window("Scale Factors")  # a first run: nothing was read
    pick(app, find(dialog, "combo box", "Miles"), "Yards")
    app.press(dialog, "OK", "the Scale Factors dialog")
    app.answer("Mapwheel", "The new default units could not be saved: cannot create %s.\nThey stay in use until "
               "Mapwheel ends." % s.ini)
    app.answer("Calibration Procedure", "1 km away")
    app.menu("File", "Open Another Map")
    app.file_dialog(path=os.path.join(s.maps, "cold-fell.jpg"))
    app.answer("Calibration Procedure", "1 km away")  # no second word about the recent maps
    check(app.main().units() == ("Kilometres", "Yards") and
          app.menu_items("File")[1:-1] == [os.path.join(s.maps, "cold-fell.jpg")],
          "the run goes on with units %r and recent maps %r" % (app.units(), app.menu_items("File")))
    s.finish(app)
