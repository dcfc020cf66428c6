# The program under a real X server and window manager, with real input.
find_package(X11 REQUIRED)
z5_add_test(test_real_input SOURCES test_realinput.cpp LIBS z5platform z5corebase X11::X11 X11::Xtst TIMEOUT 300)
add_dependencies(test_real_input Z5 regsvr z5_stage_data z5_stage_font SK_Morvane_1)
