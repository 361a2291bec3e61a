# Settings store, ScaleSettings, first-run detection and the Scale Factors dialog.
mw_add_test(tst_scalesettings SOURCES tst_scalesettings.cpp LIBS mw_units mw_platform)

add_executable(settings_writer settings_writer.cpp)
target_link_libraries(settings_writer PRIVATE mw_platform)
mw_add_test(tst_qtsettingsstore SOURCES tst_qtsettingsstore.cpp LIBS mw_units mw_platform)
target_compile_definitions(tst_qtsettingsstore PRIVATE SETTINGS_WRITER="$<TARGET_FILE:settings_writer>")
add_dependencies(tst_qtsettingsstore settings_writer)

mw_add_test(tst_frmscaling SOURCES tst_frmscaling.cpp LIBS mw_units_dialog)
