z5_add_test(test_mainwindow_state SOURCES test_explorerstate.cpp LIBS z5mainwindow)
z5_add_test(test_core_startup SOURCES test_startup.cpp LIBS z5core)
z5_add_test(test_z5_process SOURCES test_z5process.cpp LIBS z5platform z5corebase z5skinart TIMEOUT 240)
add_dependencies(test_z5_process Z5 Z5SkinRemoval regsvr z5_stage_data z5_stage_font SK_Morvane_1)
