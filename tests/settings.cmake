# ScaleSettings, first-run detection and the Scale Factors dialog.
mw_add_test(tst_scalesettings SOURCES tst_scalesettings.cpp LIBS mw_units mw_platform)

mw_add_test(tst_frmscaling SOURCES tst_frmscaling.cpp LIBS mw_units_dialog)
