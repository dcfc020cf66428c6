z5_add_test(test_platform_forms SOURCES test_forms.cpp LIBS z5platform)
