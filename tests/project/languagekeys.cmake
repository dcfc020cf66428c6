z5_add_test(test_project_languagekeys SOURCES test_languagekeys.cpp languagekeys.cpp languagekeys.h LIBS Qt6::Core)
