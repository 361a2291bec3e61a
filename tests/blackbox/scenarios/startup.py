"""Start-up: the splash, the file dialog, the first run, and leaving before any map is open."""

import os
import shutil

from harness import Atspi, MainWindow, check, children, click, find, find_all, name, showing, text


def enabled(a):
    return a.get_state_set().contains(Atspi.StateType.ENABLED)


def listed(dialog):
    # The Name column: the other columns' texts (size, type, date) all have a blank in them.
    return sorted({name(c) for c in find_all(dialog, "table cell") if " " not in name(c)})


def scenario_splash_then_file_dialog(s):
    s.write_settings()
    shutil.copy(os.path.join(s.maps, "cold-fell.jpg"), os.path.join(s.maps, "sheet12"))
    app = s.launch()
    splash = app.window("Mapwheel", "dialog", active=False)
    check(find(splash, "label", "Version 1.1f"), "the splash does not show Version 1.1f")
    dialog = app.window("Open Map Image...", timeout=20)
    check(not showing(splash), "the splash is still up with the file dialog")
    folder = name(find(dialog, "combo box", lambda n: n.startswith("/")))
    check(folder == s.maps, "the file dialog opened in %r, not in %r" % (folder, s.maps))
    types = find(dialog, "combo box", lambda n: "Files (" in n)
    check(name(types) == "Image Files (*.gif, *.jpg,*.bmp)", "the file type shown is %r" % name(types))
    check(text(find(dialog, "text", "File name:")) == "", "the file name box is not empty")
    app.wait(lambda: listed(dialog) == ["ashby-moor.gif", "cold-fell.jpg", "rushmere-edge.bmp"],
             "the three sample maps, and only they, listed")

    # "All Files" lists a map whose name has no dot, and it opens.
    click(types)
    click(app.wait(lambda: find(types, "list item", "All Files (*.*)"), "the list of file types"))
    app.wait(lambda: "sheet12" in listed(dialog), "sheet12 listed under All Files (*.*)")
    click(find(dialog, "table cell", "sheet12"))
    click(find(dialog, "push button", "Open"))
    main = MainWindow(app)
    check(main.caption().endswith(":-  " + os.path.join(s.maps, "sheet12")), "caption %r" % main.caption())
    app.answer("Calibration Procedure", "1 km away")
    check(main.zoom().endswith(":1") and main.meters()[:2] == ("0.000", "0.000"), "sheet12 is not shown")
    s.finish(app)


def scenario_first_run_asks_for_units_first(s):
    app = s.launch()
    s.open_first(app, "ashby-moor.gif", first_run=True)
    dialog = app.window("Scale Factors")
    check("Calibration Procedure" not in [name(w) for w in app.windows()], "the calibration prompt came first")
    overwrite = find(dialog, "check box", "Overwrite Defaults on Exit")
    check(overwrite.get_state_set().contains(Atspi.StateType.CHECKED) and not enabled(overwrite),
          "on a first run 'Overwrite Defaults on Exit' must be ticked and unchangeable")
    check(not enabled(find(dialog, "push button", "Cancel")), "Cancel is enabled on a first run")
    check(not enabled(find(dialog, "push button", "Reset")), "Reset is enabled on a first run")
    stored = s.settings() or {}
    check(not any(k in stored for k in ("Unit1", "Unit2", "CalFact", "UnitFact", "Abbrev")),
          "scale settings stored before the first OK: %r" % stored)
    click(find(dialog, "push button", "OK"))
    app.answer("Calibration Procedure", "1 km away")
    stored = s.settings() or {}
    check(all(stored.get(k) == v for k, v in [("Unit1", "Kilometres"), ("Unit2", "Miles"), ("Abbrev", "km")])
          and float(stored.get("CalFact", 0)) == 1 and float(stored.get("UnitFact", 0)) == 1.609344,
          "the first OK stored %r" % stored)
    s.finish(app)
    # The next start goes straight to the calibration.
    app = s.launch()
    s.open_first(app, "cold-fell.jpg")
    check(not [w for w in children(app.root) if showing(w) and name(w) == "Scale Factors"], "asked again")
    s.finish(app)


def scenario_cancel_before_any_map_ends_quietly(s):
    s.write_settings(File1=os.path.join(s.maps, "cold-fell.jpg"))
    before = s.settings_bytes()
    app = s.launch()
    dialog = app.window("Open Map Image...", timeout=20)
    click(find(dialog, "push button", "Cancel"))
    check(app.ended() == 0, "cancelling at start-up ended with code %s" % app.proc.returncode)
    check(s.settings_bytes() == before, "cancelling at start-up wrote the settings file")
