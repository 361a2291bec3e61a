# Installing as a desktop program: the icon the windows show draws, and an installation into a scratch
# prefix and the Debian package have every file in its place, the entries the desktop validators accept.
mw_add_test(tst_appicon SOURCES ${CMAKE_CURRENT_LIST_DIR}/packaging/tst_appicon.cpp ${PROJECT_SOURCE_DIR}/app/mapwheel.qrc
            LIBS Qt6::Gui)
set_tests_properties(tst_appicon PROPERTIES LABELS packaging)

add_test(NAME packaging_install
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/packaging/check-install.sh ${CMAKE_BINARY_DIR} ${MW_APP_ID})
# It installs the program the build has made, so it waits for it; cpack also rebuilds what is stale.
set_tests_properties(packaging_install PROPERTIES LABELS packaging TIMEOUT 300 RUN_SERIAL TRUE)
