#!/usr/bin/env python3
"""Fails when two engine units depend on each other, directly or through
others. A unit is a header and its source (engine/src/text/Parser.h and
.cpp); it depends on every unit whose header either file includes."""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def engine_units(src):
    """unit name -> set of unit names it includes."""
    units = {}
    for folder, _, files in os.walk(src):
        for name in files:
            stem, ext = os.path.splitext(name)
            if ext not in (".h", ".cpp"):
                continue
            unit = os.path.relpath(os.path.join(folder, stem), src)
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                included = {os.path.splitext(path)[0] for path in INCLUDE.findall(f.read())}
            units.setdefault(unit, set()).update(included)
    for unit, included in units.items():
        units[unit] = {other for other in included if other in units and other != unit}
    return units


def cycles(graph):
    """The strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    src = os.path.join(root, "engine", "src")
    graph = engine_units(src)
    found = cycles(graph)
    for component in found:
        print("units that include each other: " + ", ".join(component), file=sys.stderr)
    if not found:
        print(f"no include cycles among {len(graph)} engine units")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
