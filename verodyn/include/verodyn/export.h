// The imaging libraries are built with hidden visibility: only what is marked
// VERODYN_API (the functions of the public headers) is exported.
#pragma once

#define VERODYN_API __attribute__((visibility("default")))
