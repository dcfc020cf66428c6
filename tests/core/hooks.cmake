z5_add_test(test_core_hooks SOURCES test_hooksubclass.cpp test_gestures.cpp LIBS z5core Qt6::Test)
z5_add_test(test_core_gesture_input SOURCES test_gestureinput.cpp LIBS z5core Qt6::Test TIMEOUT 180)
