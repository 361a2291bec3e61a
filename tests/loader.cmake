mw_add_test(tst_mappicture SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mappicture.cpp LIBS mw_loader mw_synthmap)
mw_add_test(tst_maploader SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_maploader.cpp LIBS mw_loader mw_synthmap)
