# The loader: each kind of file decoded, the files it refuses and why, header checks and the memory limit.
mw_add_test(tst_loader SOURCES ${CMAKE_CURRENT_LIST_DIR}/loader/tst_loader.cpp LIBS mw_loader mw_synthmap)
