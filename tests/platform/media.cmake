z5_add_test(test_platform_media SOURCES test_mci.cpp LIBS z5platformmedia Qt6::Test TIMEOUT 300)
