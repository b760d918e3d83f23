#pragma once
// The stand-in is built with hidden symbols; what callers use is marked here.
#define DSHOW_API __attribute__((visibility("default")))
