z5_add_test(test_skinlib_art SOURCES test_skinart.cpp LIBS z5skinart)
