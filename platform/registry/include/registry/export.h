#pragma once

// What libregistry exports: the store and the service registrations.
#define REGISTRY_API __attribute__((visibility("default")))
