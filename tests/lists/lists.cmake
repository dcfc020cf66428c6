z5_add_test(test_lists_format SOURCES test_playlistformat.cpp LIBS z5lists)
z5_add_test(test_lists_pane SOURCES listsfixture.h ../browsing/fakebrowser.cpp test_listspane.cpp test_listoperations.cpp test_playlistfiles.cpp test_listinput.cpp
            LIBS z5lists z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_lists_pane SK_Morvane_1 z5_stage_data)
z5_add_test(test_lists_collections SOURCES listsfixture.h ../browsing/fakebrowser.cpp test_collections.cpp
            LIBS z5lists z5dialogs Qt6::Test TIMEOUT 300)
add_dependencies(test_lists_collections SK_Morvane_1 z5_stage_data)
z5_add_test(test_lists_collectionpages SOURCES test_collectionpages.cpp LIBS z5program Qt6::Test TIMEOUT 300)
add_dependencies(test_lists_collectionpages SK_Morvane_1 z5_stage_data)
