#!/usr/bin/env python3
"""Every product folder includes one way: no file includes one that includes it, directly or
through others. A header and the source files that include it first are one file here (a
class and its rooms' sources). Only the main window and its two dialogs may reach each other,
as the catalogue's windows do.

Usage: IncludeCycles.py SOURCE_DIR; prints each cycle and exits 1 when there is one."""
import os
import re
import sys

FOLDERS = ["core/text", "core/files", "core/memory", "core/work", "core/rows", "widgets",
           "platform/graphics", "platform/control", "platform", "listview", "printing", "app"]
# The windows that know each other by design: the main window and its dialogs.
ALLOWED = {frozenset({"Main", "Dodaj"}), frozenset({"Main", "Edytuj"})}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units(folder):
    """Unit name -> the units it includes, for the files of one folder."""
    names = [n for n in os.listdir(folder) if n.endswith((".h", ".cpp"))]
    headers = {os.path.splitext(n)[0] for n in names if n.endswith(".h")}
    graph = {}
    for name in sorted(names):
        stem, ext = os.path.splitext(name)
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            included = [os.path.splitext(os.path.basename(i))[0] for i in INCLUDE.findall(f.read())
                        if i.endswith(".h")]
        unit = stem
        if ext == ".cpp" and stem not in headers and included and included[0] in headers:
            unit = included[0]  # a room of the class whose header it includes first
        targets = graph.setdefault(unit, set())
        targets.update(i for i in included if i in headers and i != unit)
    return graph


def cycles(graph):
    """The strongly connected groups of more than one unit (Tarjan)."""
    index, low, stack, on, found, counter = {}, {}, [], set(), [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    root = sys.argv[1]
    failed = False
    for folder in FOLDERS:
        for group in cycles(units(os.path.join(root, folder))):
            if len(group) == 2 and frozenset(group) in ALLOWED:
                continue
            if set(group) == {"Main", "Dodaj", "Edytuj"}:
                continue
            print(f"{folder}: {' <-> '.join(group)} include each other")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
