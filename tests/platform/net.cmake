z5_add_test(test_platform_net SOURCES test_filerequest.cpp test_httpresponse.cpp test_imagefetch.cpp test_namedlock.cpp test_redirectrule.cpp test_socketcontrol.cpp LIBS z5platformnet Qt6::Test)
z5_add_test(test_loopback_proxy SOURCES test_loopbackproxy.cpp LIBS z5platform)
