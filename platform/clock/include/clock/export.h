#pragma once

// What libondula_clock exports: the steady clock and the frame pacer.
#define ONDULA_CLOCK_API __attribute__((visibility("default")))
