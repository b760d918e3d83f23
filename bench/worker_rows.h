// Benchmarks of kernels that spread their work over the worker pool run twice:
// on one thread and on all the machine's cores ("workers:N" in the name).
#pragma once

#include <thread>

#include <benchmark/benchmark.h>

#include <workers/worker_pool.h>

inline void WorkerRows(benchmark::internal::Benchmark* b)
{
    b->ArgName("workers")->Arg(1)->Arg(int(std::thread::hardware_concurrency()));
}

// The worker count of this row, set before the timed loop.
inline void UseWorkers(const benchmark::State& state)
{
    ondula::SetWorkerCount(int(state.range(0)));
}
