# z5_add_test(NAME SOURCES... [LIBS ...])
# A GoogleTest executable whose cases are run one by one by CTest, each in a
# fresh temporary home (see tests/isolate).
function(z5_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} z5testsupport z5testmain GTest::gtest)
  # Tests may write plain string literals.
  target_compile_options(${name} PRIVATE -UQT_NO_CAST_FROM_ASCII)
  target_compile_definitions(${name} PRIVATE
    Z5_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    Z5_BINARY_DIR="${PROJECT_BINARY_DIR}"
    Z5_STAGE_DIR="${Z5_STAGE_DIR}"
    Z5_BIN_DIR="${Z5_BIN_DIR}")
  set_target_properties(${name} PROPERTIES
    CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/isolate)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# z5_stage_program(TARGET FILENAME [SUBDIR])
# Places an executable in the staged program folder under the program's own
# file name (".exe" and ".dll" names are kept as the program expects them).
function(z5_stage_program target filename)
  set(subdir "${ARGV2}")
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${filename}
    RUNTIME_OUTPUT_DIRECTORY ${Z5_STAGE_DIR}/${subdir}
    LIBRARY_OUTPUT_DIRECTORY ${Z5_STAGE_DIR}/${subdir}
    PREFIX "" SUFFIX "")
endfunction()

# z5_add_shared_library(TARGET SOURCES...)
# A library shared by the programs and modules of the program folder. It is
# placed in the folder's root; programs find it through a run path relative to
# their own place ($ORIGIN), so the staged folder can be moved as a whole.
function(z5_add_shared_library target)
  add_library(${target} SHARED ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${Z5_STAGE_DIR})
  target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,-Bsymbolic-functions)
endfunction()
