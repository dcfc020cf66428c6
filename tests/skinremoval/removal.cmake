# The skin removal tool and the libraries it meets: one that unregisters,
# one without entry points, one that never returns and one that reports a
# failure.
set(test_skin_dir ${CMAKE_BINARY_DIR}/testservers/skinremoval)
set(test_skin_targets "")
foreach(kind_name 1:SK_Goes_Away 2:SK_No_Entry 3:SK_Never_Ends 4:SK_Says_No)
  string(REPLACE ":" ";" parts ${kind_name})
  list(GET parts 0 kind)
  list(GET parts 1 name)
  add_library(test_skin_${kind} MODULE testskin.cpp)
  target_compile_definitions(test_skin_${kind} PRIVATE TEST_SKIN_KIND=${kind})
  target_link_libraries(test_skin_${kind} PRIVATE z5platformbase)
  set_target_properties(test_skin_${kind} PROPERTIES PREFIX "" SUFFIX "" OUTPUT_NAME ${name}.dll
                        LIBRARY_OUTPUT_DIRECTORY ${test_skin_dir} CXX_VISIBILITY_PRESET hidden)
  list(APPEND test_skin_targets test_skin_${kind})
endforeach()

z5_add_test(test_skinremoval SOURCES test_skinremoval.cpp LIBS z5skinremoval TIMEOUT 180)
target_compile_definitions(test_skinremoval PRIVATE TEST_SKIN_DIR="${test_skin_dir}"
                           TEST_SKINS_DIR="${Z5_TEST_SKIN_DIR}")
add_dependencies(test_skinremoval ${test_skin_targets} Z5 Z5SkinRemoval regsvr SK_Morvane_1 SK_Blue_Sky
                 z5_stage_data z5_stage_font)
