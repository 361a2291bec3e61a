"""The Scale Factors dialog: units and calibration distance, its input checks, saving the defaults, and
what a restart comes back with."""

from harness import Atspi, check, click, extents, find, name, text, type_text
from meter import Meters, calibrate, stroke

KM_IN_MILES = 1e6 / 1609344  # the size of a kilometre in miles, from the units' sizes in millimetres


def checked(a):
    return a.get_state_set().contains(Atspi.StateType.CHECKED)


def pick(app, combo, unit):
    """Opens a combo box's list by its arrow and picks unit from it."""
    x, y, w, h = extents(combo)
    click((x + w - 8, y + h // 2))
    item = app.wait(lambda: find(combo, "list item", unit), "%s in the list" % unit)
    click(item)
    app.wait(lambda: name(combo) == unit, "%s to be picked" % unit)


def scenario_units_saved_as_defaults_survive_a_restart(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "ashby-moor.gif")
    main.menu(("Tools", "Scale Factors..."))
    dialog = app.window("Scale Factors")
    primary, secondary = (find(dialog, "combo box", u) for u in ("Kilometres", "Miles"))
    check(primary and secondary and checked(find(dialog, "radio button", "1 km")),
          "the dialog does not open on Kilometres, Miles and 1 km")
    pick(app, primary, "Miles")
    app.wait(lambda: find(dialog, "radio button", "100 ml"), "the distances to be given in ml")
    pick(app, secondary, "Kilometres")
    click(find(dialog, "radio button", "User-defined"))
    box = app.wait(lambda: find(dialog, "text", "User-defined calibration distance"), "the user-defined box")
    click(box)
    type_text("-5")
    click(find(dialog, "push button", "OK"))
    app.answer("Mapwheel", "User-defined value must be a positive number")
    check(text(box) == "", "the box still holds %r after the message" % text(box))
    click(box)
    type_text("2.5")
    click(find(dialog, "check box", "Overwrite Defaults on Exit"))
    app.wait(lambda: checked(find(dialog, "check box", "Overwrite Defaults on Exit")), "the box to be ticked")
    click(find(dialog, "push button", "OK"))
    app.answer("Calibration Procedure", "\n2.5 ml away")
    check(main.units() == ("Miles", "Kilometres"), "the meters are labelled %r" % (main.units(),))
    stored = s.settings()
    check((stored["Unit1"], stored["Unit2"], stored["Abbrev"], float(stored["CalFact"])) ==
          ("Miles", "Kilometres", "ml", 2.5) and abs(float(stored["UnitFact"]) - KM_IN_MILES) < 1e-12,
          "OK with overwriting stored %r" % stored)

    # Measured in the new units: two grid squares dragged stand for 2.5 miles.
    meters = Meters(main.tpp(), KM_IN_MILES, 2.5)
    calibrate(app, main, meters, *main.to_screen([(375, 375), (875, 375)]))
    stroke(app, main, meters, main.to_screen([(400, 600), (460, 640), (520, 600), (580, 660), (640, 700)]))
    s.finish(app)

    app = s.launch()
    main = s.open_first(app, "cold-fell.jpg", prompt="\n2.5 ml away")
    check(main.units() == ("Miles", "Kilometres"), "after a restart the meters are labelled %r" % (main.units(),))
    # Without overwriting, a change holds for this run only.
    main.menu(("Tools", "Scale Factors..."))
    dialog = app.window("Scale Factors")
    check(checked(find(dialog, "radio button", "User-defined")) and
          text(find(dialog, "text", "User-defined calibration distance")) == "2.5", "the dialog does not show 2.5")
    click(find(dialog, "radio button", "10 ml"))
    click(find(dialog, "push button", "OK"))
    app.answer("Calibration Procedure", "\n10 ml away")
    check(s.settings()["CalFact"] == stored["CalFact"], "OK without overwriting changed the stored distance")
    s.finish(app)
    app = s.launch()
    s.open_first(app, "cold-fell.jpg", prompt="\n2.5 ml away")
    s.finish(app)


def scenario_cancel_changes_nothing(s):
    s.write_settings()
    app = s.launch()
    main = s.open_first(app, "rushmere-edge.bmp")
    meters = Meters(main.tpp())
    calibrate(app, main, meters, *main.to_screen([(375, 375), (375, 625)]))
    shown = stroke(app, main, meters, main.to_screen([(300, 150), (300, 250), (300, 350), (350, 400)]))
    before = s.settings_bytes()
    main.menu(("Tools", "Scale Factors..."))
    dialog = app.window("Scale Factors")
    pick(app, find(dialog, "combo box", "Kilometres"), "Feet")
    click(find(dialog, "push button", "Cancel"))
    app.gone(dialog, "the Scale Factors dialog")
    check(main.units() == ("Kilometres", "Miles") and main.meters() == shown,
          "after Cancel the meters show %r %r" % (main.units(), main.meters()))
    check(s.settings_bytes() == before, "Cancel wrote the settings")
    # Still calibrated as before: the next stroke adds to the count by the same rules.
    stroke(app, main, meters, main.to_screen([(500, 550), (560, 570), (620, 590), (680, 610)]))
    s.finish(app)
