#pragma once

// What libqdriver exports: the driver, its transport and the device models on its bus.
#define QDRIVER_API __attribute__((visibility("default")))
