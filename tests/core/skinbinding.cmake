z5_add_test(test_core_skinbinding SOURCES test_skinbinding.cpp LIBS z5core)
target_compile_definitions(test_core_skinbinding PRIVATE Z5_TEST_SKIN_DIR="${Z5_TEST_SKIN_DIR}"
                           Z5_TEST_NOENTRY_LIBRARY="$<TARGET_FILE:test_com_noentry>")
add_dependencies(test_core_skinbinding SK_Morvane_1 SK_Blue_Sky test_com_noentry)
