#!/usr/bin/env python3
"""The house's floors: every quoted #include of a source folder names a header of its own folder
or of a folder below it, never one above or beside it, so that the exact geometry knows nothing
of the cycle, the cycle nothing of files, and the files nothing of Qt's drawing.

Usage: check_layers.py SOURCE_ROOT
"""
import pathlib
import re
import sys

# From the ground up; the rooms of one floor do not include each other.
FLOORS = [["shape"], ["engine"], ["study"], ["cycle_model"], ["formats"], ["drawing", "solids"],
          ["app", "tools", "python"]]
FLOOR_OF = {room: level for level, rooms in enumerate(FLOORS) for room in rooms}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def main(root: pathlib.Path) -> int:
    home = {}  # header name -> the room that holds it
    for room in FLOOR_OF:
        for header in (root / room).rglob("*.h"):
            if header.name in home:
                print(f"{header.name} is in both {home[header.name]}/ and {room}/")
                return 1
            home[header.name] = room
    wrong = []
    for room, level in FLOOR_OF.items():
        for source in sorted((root / room).rglob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
                name = pathlib.PurePosixPath(included).name
                target = home.get(name)
                if target is None or target == room:
                    continue  # a header of the system's libraries or of the room itself
                if FLOOR_OF[target] >= level:
                    wrong.append(f"{source.relative_to(root)} includes {target}/{name}")
    for line in wrong:
        print(line)
    if wrong:
        print(f"{len(wrong)} includes run up or across the floors {FLOORS}")
        return 1
    print(f"every include of {len(home)} headers runs down the floors")
    return 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
