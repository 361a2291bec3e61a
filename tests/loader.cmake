# The loader: each kind of file decoded, the files it refuses and why, header checks and the memory limit.
# The test writes a tiled TIFF itself, as Qt writes only strips.
find_package(TIFF REQUIRED)
mw_add_test(tst_loader SOURCES ${CMAKE_CURRENT_LIST_DIR}/loader/tst_loader.cpp LIBS mw_loader mw_synthmap TIFF::TIFF)
