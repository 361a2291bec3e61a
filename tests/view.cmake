# Map view: zoom and scroll arithmetic, the work area and window fit, drawing, and the widgets.
mw_add_test(tst_viewmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/view/tst_viewmodel.cpp LIBS mw_view)
mw_add_test(tst_screenfit SOURCES ${CMAKE_CURRENT_LIST_DIR}/view/tst_screenfit.cpp LIBS mw_view)
mw_add_test(tst_picturepainter SOURCES ${CMAKE_CURRENT_LIST_DIR}/view/tst_picturepainter.cpp LIBS mw_view)
mw_add_test(tst_mapview SOURCES ${CMAKE_CURRENT_LIST_DIR}/view/tst_mapview.cpp LIBS mw_view)
