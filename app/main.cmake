# The main window, start-up, opening maps and the program itself.
add_library(mw_app STATIC
    ${CMAKE_CURRENT_LIST_DIR}/program.cpp ${CMAKE_CURRENT_LIST_DIR}/program.h
    ${CMAKE_CURRENT_LIST_DIR}/frmmain.cpp ${CMAKE_CURRENT_LIST_DIR}/frmmain.h
    ${CMAKE_CURRENT_LIST_DIR}/frmwait.cpp ${CMAKE_CURRENT_LIST_DIR}/frmwait.h
    ${CMAKE_CURRENT_LIST_DIR}/guardedapplication.cpp ${CMAKE_CURRENT_LIST_DIR}/guardedapplication.h
)
target_include_directories(mw_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mw_app PUBLIC mw_shell mw_units_dialog mw_measure mw_view mw_loader mw_platform mw_units)

add_executable(mapwheel ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(mapwheel PRIVATE mw_app)
