# The layers without a window, one test each: shared helpers, units, measurement, the program's own pieces.
mw_add_test(tst_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/tst_core.cpp LIBS mw_core)
mw_add_test(tst_units SOURCES ${CMAKE_CURRENT_LIST_DIR}/units/tst_units.cpp LIBS mw_units)
mw_add_test(tst_measure SOURCES ${CMAKE_CURRENT_LIST_DIR}/measure/tst_measure.cpp LIBS mw_measure)
mw_add_test(tst_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/tst_app.cpp LIBS mw_app)
