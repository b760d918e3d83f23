#pragma once

#include <functional>

#include <workers/export.h>

namespace ondula {

// Runs body over [0, count) split into consecutive chunks [begin, end) of at
// least `grain` items, spread over the process's worker threads and the
// calling thread, and returns when every chunk is done. Runs body(0, count)
// inline when count is below two grains, when called from a worker thread,
// while another thread's loop holds the pool, or when the worker count is 1.
// The first exception a chunk throws is rethrown to the caller once every
// chunk has finished.
ONDULA_WORKERS_API void ParallelFor(int count, int grain,
                                    const std::function<void(int begin, int end)>& body);

// Number of threads a ParallelFor may use, the caller included: 1 makes every
// loop serial. Values below 1 count as 1. Defaults to the machine's cores.
// Must not be called while a ParallelFor runs.
ONDULA_WORKERS_API void SetWorkerCount(int n);
ONDULA_WORKERS_API int WorkerCount();

} // namespace ondula
