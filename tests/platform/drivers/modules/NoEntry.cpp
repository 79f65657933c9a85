// A shared module that loads but has no driver entry point.
extern "C" __attribute__((visibility("default"))) int kbNotADriver() { return 1; }
