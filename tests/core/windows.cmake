z5_add_test(test_core_windows SOURCES test_scaling.cpp test_messagebox.cpp test_waitabout.cpp test_panelcontrols.cpp LIBS z5core)
