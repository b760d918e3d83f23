#pragma once

// What libhwclient exports: the client functions programs link.
#define HWCLIENT_API __attribute__((visibility("default")))
