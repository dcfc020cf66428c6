z5_add_test(test_platform_wininet SOURCES test_wininet.cpp LIBS z5platform)
