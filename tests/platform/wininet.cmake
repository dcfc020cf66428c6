z5_add_test(test_platform_wininet SOURCES test_wininet.cpp LIBS z5platform)
z5_add_test(test_platform_browser SOURCES test_browser.cpp LIBS z5platform)
