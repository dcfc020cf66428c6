z5_add_test(test_core_files
  SOURCES test_imageinfo.cpp test_urlcracker.cpp
  LIBS z5core)
