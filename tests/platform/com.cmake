# Objects by ProgID: a test server library, a library without entry points,
# and the regsvr command.
set(test_server_dir ${CMAKE_BINARY_DIR}/testservers)
add_library(test_com_server MODULE comserver.cpp)
target_link_libraries(test_com_server PRIVATE z5platform)
target_link_options(test_com_server PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/skinlib/exports.map
                    -Wl,--as-needed)
set_target_properties(test_com_server PROPERTIES PREFIX "" SUFFIX "" OUTPUT_NAME PlatformTest.dll
                      LIBRARY_OUTPUT_DIRECTORY ${test_server_dir} CXX_VISIBILITY_PRESET hidden)
add_library(test_com_noentry MODULE comnoentry.cpp)
set_target_properties(test_com_noentry PROPERTIES PREFIX "" SUFFIX "" OUTPUT_NAME NoEntry.dll
                      LIBRARY_OUTPUT_DIRECTORY ${test_server_dir})

z5_add_test(test_platform_com SOURCES test_com.cpp LIBS z5platform)
target_compile_definitions(test_platform_com PRIVATE TEST_SERVER_DIR="${test_server_dir}")
add_dependencies(test_platform_com test_com_server test_com_noentry regsvr)
