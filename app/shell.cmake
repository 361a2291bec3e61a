# The pieces of the application shell around the main window: the file dialog's host, the recent-files
# list, the splash, about and read-me windows, and the toolbar pictures.
add_library(mw_shell STATIC
    ${CMAKE_CURRENT_LIST_DIR}/folderof.cpp
    ${CMAKE_CURRENT_LIST_DIR}/folderof.h
    ${CMAKE_CURRENT_LIST_DIR}/frmopenimg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmopenimg.h
    ${CMAKE_CURRENT_LIST_DIR}/recentfiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recentfiles.h
)
target_include_directories(mw_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mw_shell PUBLIC mw_units mw_platform Qt6::Widgets Qt6::Svg)
