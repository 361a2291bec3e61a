# Opening a map in the real program, typed into its file dialog on a private X display, beside djpeg.
find_package(X11 COMPONENTS Xtst)
if(X11_FOUND AND X11_Xtst_FOUND)
    add_executable(bench_open ${CMAKE_CURRENT_LIST_DIR}/open/bench_open.cpp)
    target_link_libraries(bench_open PRIVATE X11::X11 X11::Xtst)
    target_compile_definitions(bench_open PRIVATE MW_APP_PATH="$<TARGET_FILE:mapwheel>"
                                                  MW_BENCH_DATA_DIR="${CMAKE_CURRENT_LIST_DIR}/data")
    add_dependencies(bench_open mapwheel)
endif()
# What a stopwatch reads on a program that only runs djpeg between the Return and its titled window.
# The second puts a window up while djpeg runs, as the program's wait window is.
add_executable(bench_open_floor ${CMAKE_CURRENT_LIST_DIR}/open/floor.cpp)
target_link_libraries(bench_open_floor PRIVATE Qt6::Widgets)
add_executable(bench_open_floor_wait ${CMAKE_CURRENT_LIST_DIR}/open/floor.cpp)
target_link_libraries(bench_open_floor_wait PRIVATE Qt6::Widgets)
target_compile_definitions(bench_open_floor_wait PRIVATE MW_FLOOR_WAIT=1)
