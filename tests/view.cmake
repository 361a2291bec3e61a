# Map view: zoom and scroll arithmetic, the work area and window fit, and drawing.
mw_add_test(tst_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/view/tst_view.cpp LIBS mw_view)
