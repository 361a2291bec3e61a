"""Files that cannot be opened as maps, opened over a good one: each is reported by name and reason, and the
good map stays open as it was."""

import os
import random

from harness import MainWindow, check, choose_file, key
from meter import stroke
from scenarios.opening import measure_a_little


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
