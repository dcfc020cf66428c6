z5_add_test(test_platform_hooks SOURCES test_threadhooks.cpp test_winproc.cpp LIBS z5platform Qt6::Test)
