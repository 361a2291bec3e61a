# makemap draws the sample maps of Maps/. It is built with everything else but run only by hand:
#   QT_QPA_PLATFORM=offscreen build/tools/makemap Maps
set(makemap_dir ${CMAKE_CURRENT_LIST_DIR}/makemap)
add_library(mw_mapmaker STATIC
    ${makemap_dir}/gifwriter.cpp ${makemap_dir}/gifwriter.h
    ${makemap_dir}/mapsheet.cpp ${makemap_dir}/mapsheet.h)
target_include_directories(mw_mapmaker PUBLIC ${makemap_dir})
target_link_libraries(mw_mapmaker PUBLIC Qt6::Gui)
add_executable(makemap ${makemap_dir}/main.cpp)
target_link_libraries(makemap PRIVATE mw_mapmaker)
