# Files that cannot be opened as maps, opened over a good one: each is reported by name and reason, and the
# good map stays open as it was.

import os, random, struct

from harness import check, key, measure_a_little


def scenario_bad_maps_leave_the_good_one_open(s):
    def cut(src, keep):
        data = open(os.path.join(s.maps, src), "rb").read()
        return data[:int(len(data) * keep)]
    app = s.launch("rushmere-edge.bmp")
    measure_a_little(app)
    app.zoomed(key, "ctrl+i")
    before = app.view()
    os.makedirs(os.path.join(s.tmp, "bad"))
    # Each with what the message must say of it; the last a BMP header claiming 200000 x 200000 pixels
    # (160 GB decoded) and no more.
    for file, data, reason in [("cut-short.jpg", cut("cold-fell.jpg", 0.5), "damaged"),
                               ("cut-short.bmp", cut("rushmere-edge.bmp", 0.4), "damaged"),
                               ("noise.gif", random.Random(7).randbytes(20000), "not a picture"),
                               ("notes.jpg", b"A list of walks, not a picture.\n" * 20, "not a picture"),
                               ("huge.bmp", b"BM" + struct.pack("<I4xIIiiHH24x", 54, 54, 40, 200000, 200000, 1, 32),
                                "200000 x 200000 pixels")]:
        path = os.path.join(s.tmp, "bad", file)
        with open(path, "wb") as f:
            f.write(data)
        key("ctrl+o")
        app.file_dialog(path=path)
        said = app.answer("Map Not Opened")
        check(file in said and reason in said, "opening %s said %r" % (file, said))
        check(app.main().view() == before, "after %s the window shows %r, not %r" % (file, app.view(), before))
    # Still calibrated: a further stroke adds to the count.
    app.trace([(700, 500), (760, 540), (820, 560), (880, 600)])
    s.finish(app)


def scenario_bad_first_map_asks_again(s):
    # At start-up there is no map to go back to: after a map given as argument that is missing, the file
    # dialog asks as at any start, after one chosen there that is not a picture, again; the next map opens.
    path = os.path.join(s.tmp, "empty.gif")
    open(path, "wb").close()
    app = s.launch(args=[os.path.join(s.tmp, "gone.gif")])
    said = app.answer("Map Not Opened", timeout=20)
    check("gone.gif cannot be opened: there is no such file." in said, "the message says %r" % said)
    app.file_dialog(folder=s.maps, path=path)
    check("empty.gif" in app.answer("Map Not Opened"), "the message does not name empty.gif")
    app.file_dialog(folder=s.maps, path=os.path.join(s.maps, "cold-fell.jpg"))
    app.answer("Calibration Procedure", "1 km away")
    app.opened(os.path.join(s.maps, "cold-fell.jpg"))
    s.finish(app)
