z5_add_test(test_browsing_tabs SOURCES test_tabstate.cpp test_tabs.cpp test_events.cpp LIBS z5browsing)
z5_add_test(test_browsing_engine SOURCES test_engine.cpp LIBS z5browsing TIMEOUT 300)
z5_add_test(test_browsing_navrules SOURCES test_navigationrules.cpp LIBS z5browsing)
