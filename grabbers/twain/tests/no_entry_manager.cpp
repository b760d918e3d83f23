// A library named like the manager but without its entry point.
extern "C" __attribute__((visibility("default"))) int DSM_Version() { return 1; }
