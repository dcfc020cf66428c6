z5_add_test(test_platform_media SOURCES test_mci.cpp LIBS z5platformmedia Qt6::Test TIMEOUT 300)
# The media layer loaded on first use, in a program that does not link it.
z5_add_test(test_platform_mediaondemand SOURCES test_mediaondemand.cpp LIBS z5platformbase)
target_compile_definitions(test_platform_mediaondemand PRIVATE Z5_STAGE_DIR="${Z5_STAGE_DIR}")
add_dependencies(test_platform_mediaondemand z5platformmedia z5_stage_data)
