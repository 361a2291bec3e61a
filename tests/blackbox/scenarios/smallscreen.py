# Every window of the program fits a 1366 x 768 screen at scale 1.

from scenarios.scales import windows_fit

SCREEN = (1366, 768)


def scenario_windows_fit_a_small_screen(s):
    windows_fit(s, "1", SCREEN)
