#!/usr/bin/env python3
"""Every folder dependency points one way: a folder of src/, standin_host/ or clone_tool/ that
includes another folder's header depends on it, and no folder may come back to itself through
those dependencies. Each tree is included from its own root ("math/...", "document/...",
"io/..."), so the first part of an include names the folder; an include through "../" is refused.
Usage: check_layout.py ROOT"""
import os
import re
import sys

TREES = ("src", "standin_host", "clone_tool")


def main(root):
    folder_of = {}  # include prefix -> tree/folder
    for tree in TREES:
        for name in sorted(os.listdir(os.path.join(root, tree))):
            if os.path.isdir(os.path.join(root, tree, name)):
                if name in folder_of:
                    return f"check_layout: {tree}/{name} and {folder_of[name]} share a name"
                folder_of[name] = f"{tree}/{name}"
    depends = {folder: set() for folder in folder_of.values()}
    problems = []
    for tree in TREES + ("tests", "bench"):
        for dirpath, _, names in os.walk(os.path.join(root, tree)):
            for name in names:
                if not name.endswith((".cpp", ".h", ".inc", ".rc")):
                    continue
                path = os.path.join(dirpath, name)
                me = "/".join(os.path.relpath(path, root).split(os.sep)[:2])
                with open(path, encoding="utf-8", errors="replace") as source:
                    for include in re.findall(r'#include "([^"]+)"', source.read()):
                        if include.startswith("../"):
                            problems.append(f"{path}: includes {include} through ../")
                        first = include.split("/")[0]
                        if me in depends and "/" in include and folder_of.get(first, me) != me:
                            depends[me].add(folder_of[first])
    # A folder that reaches itself is on a cycle.
    for start in depends:
        seen, todo = set(), list(depends[start])
        while todo:
            folder = todo.pop()
            if folder == start:
                problems.append(f"{start} depends on itself through {sorted(depends[start])}")
                break
            if folder not in seen:
                seen.add(folder)
                todo.extend(depends[folder])
    for problem in problems:
        print(f"check_layout: {problem}", file=sys.stderr)
    if problems:
        return 1
    print(f"check_layout: {len(depends)} folders, every dependency one way")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
