# Cost of one trip meter update per pointer sample, and the memory held over a million samples.
add_executable(bench_measure ${CMAKE_CURRENT_LIST_DIR}/bench_measure.cpp)
target_link_libraries(bench_measure PRIVATE mw_measure)
