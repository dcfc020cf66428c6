z5_add_test(test_platform_basics SOURCES test_vbrt.cpp test_paths.cpp test_profile.cpp test_holdrepeat.cpp LIBS z5platform)
