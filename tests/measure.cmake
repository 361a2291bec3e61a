# Calibration, route tracing and the trip meter readouts, tested without a window.
mw_add_test(tst_tripmeterreadout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tripmeterreadout.cpp LIBS mw_measure)
mw_add_test(tst_measurement SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_measurement.cpp
            ${CMAKE_CURRENT_LIST_DIR}/support/fakemeasurehost.h LIBS mw_measure)
