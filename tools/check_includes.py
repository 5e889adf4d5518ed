#!/usr/bin/env python3
"""Fails when an include runs against the direction of the source tree.

Includes run one way: platform <- core and db <- the subsystems <- app. The
foundations (platform, core, db) never include a subsystem or the shell, and
no subsystem includes the shell. Usage: check_includes.py SRC_DIR
"""
import pathlib
import re
import sys

FOUNDATIONS = {"core", "db"}
SUBSYSTEMS = {"search", "display", "launch", "maintenance", "input", "extras", "editing", "periphery"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]+"')


def allowed(owner: str, target: str) -> bool:
    if owner == "platform":
        return target == "platform"
    if owner in FOUNDATIONS:
        return target == "platform" or target in FOUNDATIONS
    if owner in SUBSYSTEMS:
        return target != "app"
    return True  # the shell includes everything


def main() -> int:
    src = pathlib.Path(sys.argv[1])
    folders = {p.name for p in src.iterdir() if p.is_dir()}
    unknown = folders - FOUNDATIONS - SUBSYSTEMS - {"platform", "app"}
    problems = [f"{src / name}: a folder the include rules do not know" for name in sorted(unknown)]
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        owner = path.relative_to(src).parts[0]
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if match and match.group(1) in folders and not allowed(owner, match.group(1)):
                problems.append(f"{path}:{number}: {owner}/ must not include {match.group(1)}/: {line.strip()}")
    for problem in problems:
        print(problem)
    print(f"include direction: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
