z5_add_test(test_core_files
  SOURCES test_fileclasses.cpp test_shellhelpers.cpp test_imageinfo.cpp test_urlcracker.cpp test_contentfilter.cpp
  LIBS z5core)
add_dependencies(test_core_files z5_stage_data)
