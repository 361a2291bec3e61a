# The Scale Factors dialog: units and calibration distance, its input checks, saving the defaults, and
# what a restart comes back with.

from harness import check, click, extents, find, key, name, state, text, xdo

KM_IN_MILES = 1e6 / 1609344  # the size of a kilometre in miles, from the units' sizes in millimetres


def pick(app, combo, unit):  # opens a combo box's list by its arrow and picks unit from it
    x, y, w, h = extents(combo)
    click((x + w - 8, y + h // 2))
    click(app.wait(lambda: find(combo, "list item", unit), "%s in the list" % unit))
    app.wait(lambda: name(combo) == unit, "%s to be picked" % unit)


def scenario_units_saved_as_defaults_survive_a_restart(s):
    app = s.launch("ashby-moor.gif")
    dialog = app.menu("Tools", "Scale Factors...", "Scale Factors")
    primary, secondary = (find(dialog, "combo box", u) for u in ("Kilometres", "Miles"))
    check(primary and secondary and state(find(dialog, "radio button", "1 km"), "checked"),
          "the dialog does not open on Kilometres, Miles and 1 km")
    pick(app, primary, "Miles")
    app.wait(lambda: find(dialog, "radio button", "100 ml"), "the distances to be given in ml")
    pick(app, secondary, "Kilometres")
    click(find(dialog, "radio button", "User-defined"))
    box = app.wait(lambda: find(dialog, "text", "User-defined calibration distance"), "the user-defined box")
    click(box)
    xdo("type", "--delay", 15, "--", "-5")
    click(find(dialog, "push button", "OK"))
    app.answer("Mapwheel", "User-defined value must be a positive number")
    check(text(box) == "", "the box still holds %r after the message" % text(box))
    click(box)
    xdo("type", "--delay", 15, "--", "2.5")
    click(find(dialog, "check box", "Overwrite Defaults on Exit"))
    app.wait(lambda: state(find(dialog, "check box", "Overwrite Defaults on Exit"), "checked"), "the box to be ticked")
    click(find(dialog, "push button", "OK"))
    app.answer("Calibration Procedure", "\n2.5 ml away")
    check(app.units() == ("Miles", "Kilometres"), "the meters are labelled %r" % (app.units(),))
    stored = s.settings()
    check((stored["Unit1"], stored["Unit2"], stored["Abbrev"], float(stored["CalFact"])) ==
          ("Miles", "Kilometres", "ml", 2.5) and abs(float(stored["UnitFact"]) - KM_IN_MILES) < 1e-12,
          "OK with overwriting stored %r" % stored)

    # Measured in the new units: two grid squares dragged stand for 2.5 miles.
    app.calibrate((375, 375), (875, 375), 2.5, KM_IN_MILES)
    app.trace([(400, 600), (460, 640), (520, 600), (580, 660), (640, 700)])
    s.finish(app)

    app = s.launch("cold-fell.jpg", prompt="\n2.5 ml away")
    check(app.units() == ("Miles", "Kilometres"), "after a restart the meters are labelled %r" % (app.units(),))
    # Without overwriting, a change holds for this run only.
    dialog = app.menu("Tools", "Scale Factors...", "Scale Factors")
    check(state(find(dialog, "radio button", "User-defined"), "checked") and
          text(find(dialog, "text", "User-defined calibration distance")) == "2.5", "the dialog does not show 2.5")
    box = find(dialog, "text", "User-defined calibration distance")
    click(box)
    key("ctrl+a")
    xdo("type", "--delay", 15, "--", "0.00005")
    key("Return")  # OK is the dialog's default button
    app.answer("Calibration Procedure", "\n5E-05 ml away")
    # The dialog opens again on what was last confirmed, as its box shows it, and what it shows OK accepts.
    dialog = app.menu("Tools", "Scale Factors...", "Scale Factors")
    shown = text(find(dialog, "text", "User-defined calibration distance"))
    check(shown == "0.00005", "the dialog opens again showing %r, not 0.00005" % shown)
    key("Return")
    app.answer("Calibration Procedure", "\n5E-05 ml away")
    check(s.settings()["CalFact"] == stored["CalFact"], "OK without overwriting changed the stored distance")
    # Once a calibration has begun, another map keeps the units in use rather than the saved defaults.
    app.menu("File", "Open Another Map")
    app.file_dialog(path=s.maps + "/ashby-moor.gif")
    app.main().answer("Calibration Procedure", "\n5E-05 ml away")
    s.finish(app)
    s.finish(s.launch("cold-fell.jpg", prompt="\n2.5 ml away"))


def scenario_cancel_changes_nothing(s):
    app = s.launch("rushmere-edge.bmp")
    app.calibrate((375, 375), (375, 625))
    shown = app.trace([(300, 150), (300, 250), (300, 350), (350, 400)])
    before = s.settings_bytes()
    dialog = app.menu("Tools", "Scale Factors...", "Scale Factors")
    primary, secondary = (find(dialog, "combo box", u) for u in ("Kilometres", "Miles"))
    pick(app, primary, "Feet")
    click(find(secondary, "text"))  # a unit the program does not know is refused, and the box shows its own again
    key("ctrl+a")
    xdo("type", "Furlongs")
    click(find(dialog, "push button", "OK"))
    app.answer("Mapwheel", "Please check entry for Other Named Units")
    app.wait(lambda: name(secondary) == "Miles", "the second unit to show Miles again")
    check(name(primary) == "Feet", "the message box refilled the dialog: the first unit shows %r" % name(primary))
    click(find(primary, "text"))  # Feet passed that OK: a wrong first unit now gives Feet back
    key("ctrl+a")
    xdo("type", "feet")
    click(find(dialog, "push button", "OK"))
    app.answer("Mapwheel", "Please check entry for Calibration Units")
    app.wait(lambda: name(primary) == "Feet", "the first unit to show Feet again")
    click(find(dialog, "push button", "Reset"))  # the saved defaults again
    app.wait(lambda: name(primary) == "Kilometres", "Reset to show Kilometres again")
    pick(app, primary, "Feet")
    key("Escape")  # Escape is Cancel
    app.gone(dialog, "the Scale Factors dialog")
    check(app.units() == ("Kilometres", "Miles") and app.meters() == shown,
          "after Cancel the meters show %r %r" % (app.units(), app.meters()))
    check(s.settings_bytes() == before, "Cancel wrote the settings")
    # Still calibrated as before: the next stroke adds to the count by the same rules.
    app.trace([(500, 550), (560, 570), (620, 590), (680, 610)])
    s.finish(app)
