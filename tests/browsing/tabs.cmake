z5_add_test(test_browsing_tabs SOURCES test_tabstate.cpp test_tabs.cpp test_events.cpp test_watchers.cpp LIBS z5browsing)
z5_add_test(test_browsing_engine SOURCES test_engine.cpp LIBS z5browsing TIMEOUT 300)
z5_add_test(test_browsing_pagebuttons SOURCES test_pagebuttons.cpp LIBS z5browsing Qt6::Test TIMEOUT 300)
add_dependencies(test_browsing_pagebuttons SK_Morvane_1)
