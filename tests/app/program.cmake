z5_add_test(test_app_program SOURCES test_program.cpp LIBS z5program Qt6::Test)
