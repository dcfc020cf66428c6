z5_add_test(test_mainwindow_chrome SOURCES test_chrome.cpp LIBS z5mainwindow Qt6::Test TIMEOUT 180)
target_compile_definitions(test_mainwindow_chrome PRIVATE Z5_TEST_SKIN_DIR="${Z5_TEST_SKIN_DIR}")
add_dependencies(test_mainwindow_chrome SK_Morvane_1 SK_Blue_Sky)
