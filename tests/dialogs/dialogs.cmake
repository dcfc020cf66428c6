z5_add_test(test_dialogs_input SOURCES test_frmdialog.cpp LIBS z5dialogs Qt6::Test Qt6::WebEngineWidgets TIMEOUT 300)
add_dependencies(test_dialogs_input z5_stage_data)
