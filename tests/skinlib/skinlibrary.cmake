# The skin libraries as the browser sees them: registered, created by ProgID
# and called by name; the install step and the contact sheet.
z5_add_test(test_skinlib_library SOURCES test_skinlibrary.cpp LIBS z5core z5skinart)
target_compile_definitions(test_skinlib_library PRIVATE Z5_TEST_SKIN_DIR="${Z5_TEST_SKIN_DIR}")
add_dependencies(test_skinlib_library SK_Morvane_1 SK_Blue_Sky regsvr skincontact)
