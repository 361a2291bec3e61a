# The pieces of the application shell around the main window: the file dialog's host, the recent-files
# list, the splash, about and read-me windows, and the program's own pictures.
set(shell_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(mw_shell STATIC
    ${shell_dir}/folderof.cpp ${shell_dir}/folderof.h
    ${shell_dir}/frmopenimg.cpp ${shell_dir}/frmopenimg.h
    ${shell_dir}/recentfiles.cpp ${shell_dir}/recentfiles.h
    ${shell_dir}/maker.h
    ${shell_dir}/readmetext.cpp ${shell_dir}/readmetext.h
    ${shell_dir}/shellpictures.cpp ${shell_dir}/shellpictures.h
    ${shell_dir}/frmsplash.cpp ${shell_dir}/frmsplash.h
    ${shell_dir}/frmabout.cpp ${shell_dir}/frmabout.h
    ${shell_dir}/frmreadme.cpp ${shell_dir}/frmreadme.h
    ${shell_dir}/icons.qrc
)
target_include_directories(mw_shell PUBLIC ${shell_dir})
target_link_libraries(mw_shell PUBLIC mw_units mw_platform Qt6::Widgets Qt6::Svg)
