#!/usr/bin/env python3
"""Checks that the workbench's includes keep its layers apart.

Every folder of the workbench belongs to a layer; a file may include files of
its own layer and of the layers below it, never of a layer above. No file may
reach itself again through its includes, and no folder may reach itself again
through the includes of its files. The windows reach views through the view's face, never
including the views' folder. Tests are left out: they may reach anything.

Usage: workbench_layers.py [SOURCE_ROOT]   (the project's top folder; default: the
one above this script). Prints what breaks the rules; exits 1 when anything does.
"""
import os
import re
import sys

# Top to bottom. The image rules library sits below the whole workbench.
LAYERS = [
    ("Frame", ["workbench/frame", "workbench/app"]),
    ("Windows", ["workbench/dialogs", "workbench/analysis", "workbench/phase",
                 "workbench/instruments", "workbench/export"]),
    ("DocView", ["workbench/doc", "workbench/view", "workbench/acquisition"]),
    ("Faces", ["workbench/faces"]),
    ("Common", ["workbench/common"]),
    ("Core", ["workbench/core"]),
    ("ImageRules", ["imageproc"]),
]

# Arrows that run down yet stay closed: the windows reach views through the
# view's face only.
CLOSED = [("Windows", "workbench/view")]

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)
SOURCE = (".h", ".cpp")


def folder_of(path):
    for _, folders in LAYERS:
        for folder in folders:
            if path.startswith(folder + "/"):
                return folder
    return None


def rank_of(folder):
    for rank, (_, folders) in enumerate(LAYERS):
        if folder in folders:
            return rank
    raise KeyError(folder)


def layer_name(folder):
    return LAYERS[rank_of(folder)][0]


def sources(root):
    """Source files of the layered folders, as paths relative to root, tests left out."""
    found = []
    for _, folders in LAYERS:
        for folder in folders:
            for top, dirs, files in os.walk(os.path.join(root, folder)):
                dirs[:] = sorted(d for d in dirs if d != "tests")
                for name in sorted(files):
                    if name.endswith(SOURCE):
                        found.append(os.path.relpath(os.path.join(top, name), root))
    return found


def resolve(include, including, known):
    """The project file an include names (beside the includer, from the
    repository root, or the image rules' API), or None for one from outside the layers."""
    candidates = [
        os.path.normpath(os.path.join(os.path.dirname(including), include)),
        os.path.normpath(include),
        os.path.normpath(os.path.join("imageproc", "include", include)),
    ]
    for candidate in candidates:
        if candidate in known:
            return candidate
    return None


def include_graph(root):
    files = sources(root)
    known = set(files)
    graph = {}
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        targets = set()
        for include in INCLUDE.findall(text):
            target = resolve(include, path, known)
            if target and target != path:
                targets.add(target)
        graph[path] = sorted(targets)
    return graph


def circles(graph):
    """The strongly connected parts of more than one node (Tarjan, iterative)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in graph:
        if start in index:
            continue
        work = [(start, iter(graph[start]))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(graph.get(child, []))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                part = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    part.append(member)
                    if member == node:
                        break
                if len(part) > 1:
                    found.append(sorted(part))
    return found


def module_graph(graph):
    """The include graph with each header and its source file as one node."""
    modules = {}
    for path, targets in graph.items():
        node = os.path.splitext(path)[0]
        modules.setdefault(node, set()).update(
            os.path.splitext(target)[0] for target in targets)
    return {node: sorted(targets - {node}) for node, targets in modules.items()}


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    graph = include_graph(os.path.abspath(root))

    arrows = {}
    for path, targets in graph.items():
        for target in targets:
            pair = (folder_of(path), folder_of(target))
            if pair[0] != pair[1]:
                arrows.setdefault(pair, []).append((path, target))
    folder_graph = {}
    for source, target in arrows:
        folder_graph.setdefault(source, []).append(target)
        folder_graph.setdefault(target, [])

    upward = sorted(pair for pair in arrows if rank_of(pair[1]) < rank_of(pair[0]))
    closed = sorted(pair for pair in arrows if (layer_name(pair[0]), pair[1]) in CLOSED)
    file_circles = circles(module_graph(graph))
    folder_circles = circles(folder_graph)

    for source, target in upward:
        print(f"upward: {source} ({layer_name(source)}) -> {target} ({layer_name(target)})")
        for path, included in arrows[(source, target)]:
            print(f"    {path} includes {included}")
    for source, target in closed:
        print(f"closed: {source} ({layer_name(source)}) -> {target}: through the faces only")
        for path, included in arrows[(source, target)]:
            print(f"    {path} includes {included}")
    for part in file_circles:
        print(f"circle of {len(part)} files (header and source as one): {' '.join(part)}")
    for part in folder_circles:
        print(f"circle of {len(part)} folders: {' '.join(part)}")
    print(f"{len(graph)} files, {len(arrows)} arrows between folders, {len(upward)} upward, "
          f"{len(closed)} closed, {len(file_circles)} file circles, "
          f"{len(folder_circles)} folder circles")
    return 1 if upward or closed or file_circles or folder_circles else 0


if __name__ == "__main__":
    sys.exit(main())
