#pragma once

// What libondula_workers exports: the worker pool.
#define ONDULA_WORKERS_API __attribute__((visibility("default")))
