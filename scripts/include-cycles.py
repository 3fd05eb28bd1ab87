#!/usr/bin/env python3
"""Lists the include circles inside each source folder; fails if there is one.

A file pair (name.h and name.cpp) counts as one unit: an include written in
either file is an arrow from that pair to the pair it names in the same
folder. Arrows between folders are the build's business (each folder is a
library that links only the ones below it), so only folders are checked.
"""
import argparse
import re
import subprocess
import sys
from collections import defaultdict
from pathlib import Path

INCLUDE = re.compile(r'^#include "([^"]+)\.h"', re.MULTILINE)


def arrows_by_folder(root):
    files = subprocess.run(["git", "ls-files", "*.h", "*.cpp"], cwd=root, capture_output=True, text=True,
                           check=True).stdout.split()
    folders = defaultdict(lambda: defaultdict(set))
    for name in files:
        path = Path(name)
        folder, unit = path.parent.as_posix(), path.stem
        arrows = folders[folder][unit]
        for included in INCLUDE.findall((root / path).read_text(errors="replace")):
            target = Path(included)
            if target.parent.as_posix() == folder and target.name != unit:
                arrows.add(target.name)
    return folders


def circles(arrows):
    """The strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(unit):
        index[unit] = low[unit] = len(index)
        stack.append(unit)
        on_stack.add(unit)
        for target in sorted(arrows.get(unit, ())):
            if target not in index:
                visit(target)
                low[unit] = min(low[unit], low[target])
            elif target in on_stack:
                low[unit] = min(low[unit], index[target])
        if low[unit] == index[unit]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == unit:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for unit in sorted(arrows):
        if unit not in index:
            visit(unit)
    return found


def main():
    argparse.ArgumentParser(description="Lists the include circles inside each source folder.").parse_args()
    root = Path(__file__).resolve().parent.parent
    failed = False
    for folder, arrows in sorted(arrows_by_folder(root).items()):
        for component in circles(arrows):
            members = set(component)
            failed = True
            print(f"{folder}: circle among {', '.join(component)}")
            for unit in component:
                inside = sorted(arrows[unit] & members)
                print(f"  {unit} -> {', '.join(inside)}")
    if not failed:
        print("No include circle inside any folder.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
