# A scanned-map-like picture generator that any benchmark can link.
add_library(mw_synthmap STATIC ${CMAKE_CURRENT_LIST_DIR}/synthmap.cpp ${CMAKE_CURRENT_LIST_DIR}/synthmap.h)
target_include_directories(mw_synthmap PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mw_synthmap PUBLIC Qt6::Gui Qt6::Concurrent PRIVATE mw_mapmaker)

# Map loading: djpeg (the floor), a plain QImageReader load and the program's loader, side by side.
add_executable(bench_loader ${CMAKE_CURRENT_LIST_DIR}/loaderbench.cpp)
target_link_libraries(bench_loader PRIVATE mw_loader mw_synthmap Qt6::Gui)
target_compile_definitions(bench_loader PRIVATE MW_BENCH_DATA_DIR="${CMAKE_CURRENT_LIST_DIR}/data")
