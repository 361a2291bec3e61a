# The whole program in-process: start-up, the main window, opening maps, ending.
foreach(t tst_program)
    mw_add_test(${t} SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/${t}.cpp ${CMAKE_CURRENT_LIST_DIR}/app/apptesting.h
                LIBS mw_app)
    target_compile_definitions(${t} PRIVATE MW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endforeach()
mw_add_test(tst_untrapped SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/tst_untrapped.cpp LIBS mw_app)
