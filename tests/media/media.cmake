z5_add_test(test_media_specialfolders SOURCES test_specialfolders.cpp LIBS z5media)
z5_add_test(test_media_player SOURCES test_player.cpp LIBS z5media z5lists Qt6::Test TIMEOUT 300)
add_dependencies(test_media_player SK_Morvane_1 z5_stage_data)
