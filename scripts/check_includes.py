#!/usr/bin/env python3
"""Checks that each quoted include says where its file lives.

A bare "name.h" must name a file beside the includer; a quoted path must name a
file from the repository root or from beside the includer. Includes in angle
brackets (a library's API from its include root, the system's) are not checked.

Usage: check_includes.py [--root ROOT] [SKIPPED_FOLDER...]
  ROOT defaults to the folder above this script; the skipped folders are given
  relative to it. Prints each include that breaks the rules; exits 1 when any does.
"""
import argparse
import os
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inl")


def sources(root):
    """The repository's C and C++ files, relative to root; build folders left out."""
    listed = subprocess.run(["git", "-C", root, "ls-files", "-z"], capture_output=True, text=True)
    if listed.returncode == 0:
        return sorted(p for p in listed.stdout.split("\0") if p.endswith(SOURCE_SUFFIXES))
    found = []
    for top, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith(("build", ".")))
        found.extend(os.path.relpath(os.path.join(top, f), root)
                     for f in sorted(files) if f.endswith(SOURCE_SUFFIXES))
    return found


def fault(root, includer, name):
    """What is wrong with a quoted include, or None."""
    beside = os.path.join(root, os.path.dirname(includer), name)
    if "/" not in name:
        if os.path.isfile(beside):
            return None
        return f'"{name}" is not beside the includer: name it from the repository root'
    if os.path.isfile(os.path.join(root, name)) or os.path.isfile(beside):
        return None
    return f'"{name}" names no file from the repository root or beside the includer'


def check(root, skipped):
    faults = []
    for path in sources(root):
        if any(path.startswith(folder + "/") for folder in skipped):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for match in INCLUDE.finditer(text):
            wrong = fault(root, path, match.group(1))
            if wrong:
                line = text.count("\n", 0, match.start()) + 1
                faults.append(f"{path}:{line}: {wrong}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("skipped", nargs="*")
    args = parser.parse_args()
    root = os.path.realpath(args.root)
    skipped = [os.path.normpath(folder) for folder in args.skipped]
    faults = check(root, skipped)
    for line in faults:
        print(line)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
