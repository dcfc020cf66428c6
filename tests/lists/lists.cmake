z5_add_test(test_lists_format SOURCES test_playlistformat.cpp LIBS z5lists)
z5_add_test(test_lists_pane SOURCES listsfixture.h ../browsing/fakebrowser.cpp test_listspane.cpp test_listoperations.cpp test_playlistfiles.cpp
            LIBS z5lists z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_lists_pane SK_Morvane_1 z5_stage_data)
