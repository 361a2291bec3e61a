# Tests of the shell pieces around the main window.
set(shell_tests ${CMAKE_CURRENT_LIST_DIR}/shell)
mw_add_test(tst_shell_paths SOURCES ${shell_tests}/tst_paths.cpp LIBS mw_shell)
mw_add_test(tst_shell_recentfiles SOURCES ${shell_tests}/tst_recentfiles.cpp ${CMAKE_CURRENT_LIST_DIR}/support/memorysettingsstore.h
            LIBS mw_shell)
mw_add_test(tst_shell_windows SOURCES ${shell_tests}/tst_windows.cpp LIBS mw_shell)
mw_add_test(tst_shell_mapmaker SOURCES ${shell_tests}/tst_mapmaker.cpp LIBS mw_mapmaker)
target_compile_definitions(tst_shell_mapmaker PRIVATE MAPWHEEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
