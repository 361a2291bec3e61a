# Map view drawing speed and memory: the visible-rectangle design beside a naive scaled copy.
add_executable(bench_view ${CMAKE_CURRENT_LIST_DIR}/view/bench_view.cpp)
target_link_libraries(bench_view PRIVATE mw_view mw_synthmap)
