z5_add_test(test_dialogs_references SOURCES test_references.cpp referencestesting.h LIBS z5dialogs Qt6::Test TIMEOUT 180)
z5_add_test(test_dialogs_process SOURCES test_preferencesprocess.cpp programdriver.h LIBS z5platform z5corebase TIMEOUT 300)
add_dependencies(test_dialogs_process Z5 Z5DownLoad regsvr z5_stage_data z5_stage_font SK_Morvane_1)
