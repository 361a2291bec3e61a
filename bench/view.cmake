# Map view drawing speed and memory: the visible-rectangle design beside a naive scaled copy.
add_executable(bench_view ${CMAKE_CURRENT_LIST_DIR}/view/bench_view.cpp ${CMAKE_CURRENT_LIST_DIR}/view/scannedmap.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/view/scannedmap.h)
target_link_libraries(bench_view PRIVATE mw_view)
