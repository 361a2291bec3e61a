# The desktop services: the settings store on a real file, with a second copy of the program writing at the
# same time (settings_writer).
add_executable(settings_writer ${CMAKE_CURRENT_LIST_DIR}/platform/settings_writer.cpp)
target_link_libraries(settings_writer PRIVATE mw_platform)
mw_add_test(tst_platform SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform/tst_platform.cpp LIBS mw_platform)
target_compile_definitions(tst_platform PRIVATE SETTINGS_WRITER="$<TARGET_FILE:settings_writer>")
add_dependencies(tst_platform settings_writer)
