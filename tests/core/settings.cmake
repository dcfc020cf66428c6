z5_add_test(test_core_settings SOURCES test_settingsstore.cpp test_language.cpp LIBS z5core)
