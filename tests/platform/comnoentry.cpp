// A shared library that loads but exports none of the server entry points.
extern "C" int platformTestNothingHere() { return 7; }
