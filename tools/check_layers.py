#!/usr/bin/env python3
"""Names every include from a lower floor of the source to a higher one.

The floors are the list VESK_FLOORS in the top CMakeLists.txt, from the bottom up. A file in
src/<floor>/ or tests/<floor>/ (and the folders below them) may include its own floor and the floors
below it: an include "<other floor>/..." of a floor higher up is reported with its file and line.
The tests' shared support, benchmarks, fuzz targets and tools are no floor and are not checked here
(the build gives each of them the include root it needs). Exits with 1 when anything is reported.
"""

import argparse
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]*"')
FLOORS = re.compile(r'set\(\s*VESK_FLOORS\s+([^)]*)\)')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".inl"}


def read_floors(root):
    text = (root / "CMakeLists.txt").read_text(encoding="utf-8")
    found = FLOORS.search(text)
    if not found:
        sys.exit("check_layers: no set(VESK_FLOORS ...) in the top CMakeLists.txt")
    return found.group(1).split()


def upward_includes(root, floors):
    rank = {floor: n for n, floor in enumerate(floors)}
    problems = []
    for top in ("src", "tests"):
        for floor in floors:
            folder = root / top / floor
            if not folder.is_dir():
                continue
            for path in sorted(folder.rglob("*")):
                if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                    continue
                lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
                for number, line in enumerate(lines, 1):
                    match = INCLUDE.match(line)
                    if match and rank.get(match.group(1), -1) > rank[floor]:
                        included = line.split('"')[1]
                        problems.append(f"{path.relative_to(root)}:{number}: includes {included}, "
                                        f"but {match.group(1)} is above {floor}")
    # Sources beside the floors belong to none of them.
    for path in sorted((root / "src").glob("*")):
        if path.is_file() and path.suffix in SOURCE_SUFFIXES:
            problems.append(f"{path.relative_to(root)}: lies in no floor of src/")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=pathlib.Path, default=pathlib.Path(__file__).resolve().parent.parent,
                        help="the source tree (default: the one this script is in)")
    args = parser.parse_args()
    floors = read_floors(args.root)
    problems = upward_includes(args.root, floors)
    for problem in problems:
        print(problem)
    if problems:
        print(f"check_layers: {len(problems)} upward include(s); the floors are {' -> '.join(floors)}",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
