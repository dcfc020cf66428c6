z5_add_test(test_core_browsingdata
  SOURCES test_registration.cpp test_connection.cpp test_cleanup.cpp test_mainsettings.cpp
  LIBS z5core)
