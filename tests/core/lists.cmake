z5_add_test(test_core_listline SOURCES test_listline.cpp LIBS z5corebase)
