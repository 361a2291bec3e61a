# Black-box scenarios: the built program on a private X display with a window manager, driven by real
# input through the X server and read through the accessibility bus (tests/blackbox/run.sh). One test per
# group of scenarios; each run makes its own display, buses and homes, so groups may run side by side.
file(GLOB blackbox_groups CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/scenarios/*.py)
foreach(f ${blackbox_groups})
    get_filename_component(group ${f} NAME_WE)
    if(group STREQUAL "__init__")
        continue()
    endif()
    add_test(NAME blackbox_${group}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/run.sh --app $<TARGET_FILE:mapwheel>
                     --artifacts ${CMAKE_BINARY_DIR}/blackbox-artifacts ${group})
    # The program gets a real X display, whatever platform the other tests are given.
    set_tests_properties(blackbox_${group} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 900
                                                      LABELS blackbox)
endforeach()
