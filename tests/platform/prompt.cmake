z5_add_test(test_platform_prompt SOURCES test_prompt.cpp LIBS z5platform)
