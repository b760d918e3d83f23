// A digitizer module whose entry declines to be loaded.
extern "C" __attribute__((visibility("default"))) int DvlModuleEntry(void*) { return 0; }

extern "C" __attribute__((visibility("default"))) void DDZephonIIDigCommandDecoder(void*) { }
