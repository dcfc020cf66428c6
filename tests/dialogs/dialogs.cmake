z5_add_test(test_dialogs_references SOURCES test_references.cpp referencestesting.h LIBS z5dialogs Qt6::Test TIMEOUT 180)
