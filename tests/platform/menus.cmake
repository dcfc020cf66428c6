z5_add_test(test_platform_menus SOURCES test_popupmenus.cpp test_imagelist.cpp LIBS z5platformwin Qt6::Test)
