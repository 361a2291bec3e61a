# The layers without a window, one test each: shared helpers, units, measurement, the program's own pieces.
mw_add_test(tst_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/tst_core.cpp LIBS mw_core)
mw_add_test(tst_units SOURCES ${CMAKE_CURRENT_LIST_DIR}/units/tst_units.cpp LIBS mw_units)
mw_add_test(tst_measure SOURCES ${CMAKE_CURRENT_LIST_DIR}/measure/tst_measure.cpp LIBS mw_measure)
mw_add_test(tst_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/tst_app.cpp LIBS mw_app)

# Asked for its version or usage, the program answers and ends without a display: none is given here, so
# one it tried to open would fail.
add_test(NAME mapwheel_version COMMAND mapwheel --version)
add_test(NAME mapwheel_help COMMAND mapwheel --help)
set_tests_properties(mapwheel_version mapwheel_help PROPERTIES ENVIRONMENT "DISPLAY=;WAYLAND_DISPLAY=;QT_QPA_PLATFORM=xcb"
                     TIMEOUT 10)
set_tests_properties(mapwheel_version PROPERTIES PASS_REGULAR_EXPRESSION "^mapwheel 1\\.1f\n$")
set_tests_properties(mapwheel_help PROPERTIES PASS_REGULAR_EXPRESSION "^Usage: mapwheel \\[MAP_FILE \\| --version \\| --help\\]\n")
