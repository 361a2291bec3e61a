# Installing as a desktop program: the icon the windows show draws.
mw_add_test(tst_appicon SOURCES ${CMAKE_CURRENT_LIST_DIR}/packaging/tst_appicon.cpp ${PROJECT_SOURCE_DIR}/app/mapwheel.qrc
            LIBS Qt6::Gui)
set_tests_properties(tst_appicon PROPERTIES LABELS packaging)

