z5_add_test(test_project_includes SOURCES test_includes.cpp includecheck.cpp includecheck.h LIBS Qt6::Core)
