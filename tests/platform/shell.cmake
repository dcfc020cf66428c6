z5_add_test(test_platform_shell SOURCES test_shell.cpp LIBS z5platform)
