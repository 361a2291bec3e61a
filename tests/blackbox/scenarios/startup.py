# Start-up: the splash, the file dialog or a map given as argument, the first run, and leaving before any map
# is open.

import os, shutil

from harness import SCALE_KEYS, check, click, find, find_all, name, state


def listed(dialog):
    # The Name column: the other columns' texts (size, type, date) all have a blank in them.
    return sorted({name(c) for c in find_all(dialog, "table cell") if " " not in name(c)})


def scenario_splash_then_file_dialog(s):
    shutil.copy(os.path.join(s.maps, "cold-fell.jpg"), os.path.join(s.maps, "sheet12"))
    app = s.launch()
    splash = app.window("Mapwheel", "dialog", active=False)
    check(find(splash, "label", "Version 1.1f"), "the splash does not show Version 1.1f")
    dialog = app.file_dialog(s.maps, timeout=20)
    check(not state(splash), "the splash is still up with the file dialog")
    types = find(dialog, "combo box", lambda n: "Files (" in n)
    check(name(types) == "Image Files (*.gif, *.jpg,*.bmp)", "the file type shown is %r" % name(types))
    app.wait(lambda: listed(dialog) == ["ashby-moor.gif", "cold-fell.jpg", "rushmere-edge.bmp"],
             "the three sample maps, and only they, listed")

    # "All Files" lists a map whose name has no dot, and it opens.
    click(types)
    click(app.wait(lambda: find(types, "list item", "All Files (*.*)"), "the list of file types"))
    app.wait(lambda: "sheet12" in listed(dialog), "sheet12 listed under All Files (*.*)")
    click(find(dialog, "table cell", "sheet12"))
    click(find(dialog, "push button", "Open"))
    app.answer("Calibration Procedure", "1 km away")
    app.opened(os.path.join(s.maps, "sheet12"))
    s.finish(app)


def scenario_first_run_asks_for_units_first(s):
    shutil.rmtree(s.config)  # never run here before
    app = s.launch("ashby-moor.gif", prompt=None)
    dialog = app.window("Scale Factors")
    check("Calibration Procedure" not in [name(w) for w in app.windows()], "the calibration prompt came first")
    overwrite = find(dialog, "check box", "Overwrite Defaults on Exit")
    check(state(overwrite, "checked") and not state(overwrite, "enabled"),
          "on a first run 'Overwrite Defaults on Exit' must be ticked and unchangeable")
    for button in ("Cancel", "Reset"):
        check(not state(find(dialog, "push button", button), "enabled"), "%s is enabled on a first run" % button)
    check(not any(k in s.settings() for k in SCALE_KEYS), "scale settings stored before the first OK: %r"
          % s.settings())
    click(find(dialog, "push button", "OK"))
    app.answer("Calibration Procedure", "1 km away")
    stored = s.settings()
    check(all(stored.get(k) == v or k in ("CalFact", "UnitFact") and float(stored.get(k, 0)) == float(v)
              for k, v in SCALE_KEYS.items()), "the first OK stored %r" % stored)
    s.finish(app)
    # The next start goes straight to the calibration; given a map relative to the folder it starts in, as
    # typed in a terminal, after the splash without a file dialog.
    app = s.launch(args=["Maps/cold-fell.jpg"])
    app.answer("Calibration Procedure", "1 km away", timeout=20)
    check("Scale Factors" not in [name(w) for w in app.windows()], "asked again")
    app.opened(os.path.join(s.maps, "cold-fell.jpg"))
    s.finish(app)


def scenario_cancel_before_any_map_ends_quietly(s):
    s.write_settings(File1=os.path.join(s.maps, "cold-fell.jpg"))
    before, app = s.settings_bytes(), s.launch()
    s.finish(app, lambda: click(find(app.file_dialog(timeout=20), "push button", "Cancel")), "cancelling at start-up",
             before)
