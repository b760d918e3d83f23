#!/usr/bin/python3
"""Times OpenCV and numpy on the work of Ondula's per-pixel benchmarks, in the
same run as Ondula's own benchmarks, and prints the medians and the ratios.

    /usr/bin/python3 bench/peers.py [--build build] [--repetitions 15]

Needs a Release build of the benchmarks (cmake --build build --target benchmarks)
and Debian's python3-opencv and python3-numpy.
"""
import argparse
import json
import os
import statistics
import subprocess
import time

import cv2
import numpy as np

CORES = os.cpu_count() or 1

# job, benchmark binary, benchmark name without its "/workers:N" suffix
OURS = [
    ("four-image phase 1024x768", "bench_metrology", "BM_FourImagePhase"),
    ("six quality maps 1024x768", "bench_metrology", "BM_SixQualityMaps"),
    ("unwrap, variance quality 1024x768", "bench_metrology", "BM_UnwrapVariance"),
    ("7x7 convolution 1280x1024 colour", "bench_image_ops", "BM_Convolve7x7"),
    ("YUV422 -> RGB 1280x1024 (IIDC)", "bench_iidc", "IIDC/Convert/YUV422/rgb/8/1280x1024"),
    ("UYVY -> RGB 1280x1024 (DirectShow)", "bench_directshow", "UYVY/rgb"),
    ("RGB24 -> planes 1280x1024", "bench_directshow", "RGB24/rgb"),
    ("brightness and gamma table 1280x1024 colour", "bench_image_ops", "BM_LuminanceGamma"),
    ("resize preview 200% 1280x1024 colour", "bench_image_ops", "BM_ResizePreview200"),
    ("ZephonII colour to grey 768x576", "bench_zephon", "Zephon/CopyGrey/768x576"),
]


def ours(build, repetitions):
    """Median wall milliseconds of every row, by (name, workers)."""
    medians = {}
    by_binary = {}
    for _, binary, name in OURS:
        by_binary.setdefault(binary, []).append(name)
    for binary, names in by_binary.items():
        path = os.path.join(build, "bin", binary)
        if not os.path.exists(path):
            continue
        pattern = "|".join("^" + n.replace("+", "\\+") + "/workers" for n in names)
        out = subprocess.run(
            [path, "--benchmark_filter=" + pattern, "--benchmark_format=json",
             "--benchmark_repetitions=%d" % repetitions, "--benchmark_report_aggregates_only=true"],
            capture_output=True, text=True, check=False).stdout
        for row in json.loads(out or '{"benchmarks": []}')["benchmarks"]:
            if row.get("aggregate_name") != "median":
                continue
            name, workers = row["run_name"].rsplit("/workers:", 1)
            scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[row["time_unit"]]
            medians[(name, int(workers))] = row["real_time"] * scale
    return medians


def median_ms(work, repetitions):
    start = time.perf_counter()
    work()
    if time.perf_counter() - start > 0.5:
        repetitions = min(repetitions, 3)
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        work()
        times.append((time.perf_counter() - start) * 1e3)
    return statistics.median(times)


def peers():
    """(job, library, work) triples, on the same sizes and data shapes as ours."""
    rng = np.random.default_rng(1)
    colour = rng.integers(0, 256, (1024, 1280, 3), dtype=np.uint8)
    frames = [rng.integers(0, 256, (768, 1024), dtype=np.uint8) for _ in range(4)]
    kernel = (np.arange(49) % 5 - 2).reshape(7, 7).astype(np.float32) / 3
    uyvy = rng.integers(0, 256, (1024, 1280, 2), dtype=np.uint8)
    bgr_small = rng.integers(0, 256, (576, 768, 3), dtype=np.uint8)
    table = np.clip((np.arange(256) / 255.0) ** 0.7 * 255, 0, 255).astype(np.uint8)
    yy, xx = np.mgrid[0:768, 0:1024].astype(np.float32)
    surface = 0.05 * xx + 0.03 * yy + 40 * np.exp(-((xx - 512) ** 2 + (yy - 384) ** 2) / 1e5)
    wrapped = np.angle(np.exp(1j * surface)).astype(np.float32)

    def phase_numpy():
        num = frames[3].astype(np.int16) - frames[1]
        den = frames[0].astype(np.int16) - frames[2]
        return (np.mod(np.arctan2(num, den), 2 * np.pi) * 40.6).astype(np.uint8)

    def phase_opencv():
        num = cv2.subtract(frames[3], frames[1], dtype=cv2.CV_32F)
        den = cv2.subtract(frames[0], frames[2], dtype=cv2.CV_32F)
        return cv2.convertScaleAbs(cv2.phase(den, num), alpha=40.6)

    jobs = [
        ("four-image phase 1024x768", "numpy", phase_numpy),
        ("four-image phase 1024x768", "OpenCV", phase_opencv),
        ("7x7 convolution 1280x1024 colour", "OpenCV",
         lambda: cv2.filter2D(colour, -1, kernel, borderType=cv2.BORDER_REPLICATE)),
        ("YUV422 -> RGB 1280x1024 (IIDC)", "OpenCV",
         lambda: cv2.split(cv2.cvtColor(uyvy, cv2.COLOR_YUV2RGB_UYVY))),
        ("UYVY -> RGB 1280x1024 (DirectShow)", "OpenCV",
         lambda: cv2.split(cv2.cvtColor(uyvy, cv2.COLOR_YUV2RGB_UYVY))),
        ("RGB24 -> planes 1280x1024", "OpenCV", lambda: cv2.split(cv2.flip(colour, 0))),
        ("RGB24 -> planes 1280x1024", "numpy",
         lambda: [np.ascontiguousarray(colour[::-1, :, c]) for c in (2, 1, 0)]),
        ("brightness and gamma table 1280x1024 colour", "OpenCV", lambda: cv2.LUT(colour, table)),
        ("brightness and gamma table 1280x1024 colour", "numpy", lambda: table[colour]),
        ("resize preview 200% 1280x1024 colour", "OpenCV",
         lambda: cv2.resize(colour, None, fx=2, fy=2, interpolation=cv2.INTER_NEAREST)),
        ("ZephonII colour to grey 768x576", "OpenCV",
         lambda: cv2.cvtColor(bgr_small, cv2.COLOR_BGR2GRAY)),
        ("ZephonII colour to grey 768x576", "numpy",
         lambda: (bgr_small @ np.array([145971, 596793, 303858]) + 512 >> 20).astype(np.uint8)),
    ]
    if hasattr(cv2, "phase_unwrapping"):
        params = cv2.phase_unwrapping.HistogramPhaseUnwrapping.Params()
        params.width, params.height = 1024, 768
        unwrapper = cv2.phase_unwrapping.HistogramPhaseUnwrapping.create(params)
        jobs.append(("unwrap, variance quality 1024x768", "OpenCV histogram",
                     lambda: unwrapper.unwrapPhaseMap(wrapped)))
    return jobs


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--repetitions", type=int, default=15)
    args = parser.parse_args()

    mine = ours(args.build, max(5, args.repetitions // 3))
    theirs = {}
    for threads in (1, CORES):
        cv2.setNumThreads(threads)
        for job, library, work in peers():
            theirs[(job, library, threads)] = median_ms(work, args.repetitions)

    def cell(value):
        return "%.3f" % value if value is not None else "-"

    print("| job | ours, 1 thread | ours, %d | peer | peer, 1 thread | peer, %d "
          "| peer's best / our best |" % (CORES, CORES))
    print("|---|---|---|---|---|---|---|")
    for job, _, name in OURS:
        one, many = mine.get((name, 1)), mine.get((name, CORES))
        best = min(v for v in (one, many, float("inf")) if v is not None)
        libraries = sorted({lib for (j, lib, _) in theirs if j == job}) or ["-"]
        for library in libraries:
            p1, pn = theirs.get((job, library, 1)), theirs.get((job, library, CORES))
            ratio = "%.2f" % (min(p1, pn) / best) if p1 and best != float("inf") else "-"
            print("| %s | %s | %s | %s | %s | %s | %s |" %
                  (job, cell(one), cell(many), library, cell(p1), cell(pn), ratio))


if __name__ == "__main__":
    main()
