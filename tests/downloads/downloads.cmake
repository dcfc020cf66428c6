z5_add_test(test_downloads_names SOURCES test_listnames.cpp LIBS z5downloads)
z5_add_test(test_downloads_window SOURCES ../lists/listsfixture.h ../browsing/fakebrowser.cpp test_optionsdialog.cpp
            test_handoff.cpp LIBS z5downloads z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_downloads_window SK_Morvane_1 z5_stage_data)
z5_add_test(test_downloads_fetcher SOURCES ../lists/listsfixture.h ../browsing/fakebrowser.cpp test_fetcher.cpp
            LIBS z5downloads z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_downloads_fetcher SK_Morvane_1 z5_stage_data)
z5_add_test(test_downloads_fetch SOURCES test_fetchsocket.cpp test_hiddenpages.cpp LIBS z5downloads Qt6::Test TIMEOUT 300)
z5_add_test(test_downloads_fetchnet SOURCES ../lists/listsfixture.h ../browsing/fakebrowser.cpp test_fetchernet.cpp
            LIBS z5downloads z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_downloads_fetchnet SK_Morvane_1 z5_stage_data)
z5_add_test(test_downloads_fetchprocess SOURCES test_fetchprocess.cpp LIBS z5platform z5corebase Qt6::Test TIMEOUT 300)
add_dependencies(test_downloads_fetchprocess Z5 regsvr z5_stage_data z5_stage_font SK_Morvane_1)
