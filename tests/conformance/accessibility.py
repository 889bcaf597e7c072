#!/usr/bin/python3
"""Runs the table of what a screen reader is told and may do (accessibility.txt) against one
screen reader's view of the program: the page's mirror in Chromium, or the window's tree on
the desktop's AT-SPI bus. Each gets the same steps as a screen reader makes them there, and
what it is then told is checked against the same expectations.

Usage: accessibility.py atspi ORVANE
       accessibility.py chromium SITE-FOLDER
Ends with "N passed, N failed"; exits 1 when one failed.
"""
import json
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROLES = ("heading", "textbox", "button", "status")


def rows():
    for line in (HERE / "accessibility.txt").read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        name, steps, expected = (part.strip() for part in line.split(" | "))
        yield {
            "name": name,
            "steps": [] if steps == "-" else [parse_step(step) for step in steps.split(", ")],
            "expected": [item.strip() for item in expected.split("; ")],
        }


def parse_step(step):
    kind, rest = step.split(" ", 1)
    if kind == "set":
        target, text = rest.rsplit(" to ", 1)
        return [kind, target, text]
    return [kind, rest, None]


def check(expected, told):
    """What is wrong with what a screen reader was told ({elements, announced})."""
    wrong = []
    for item in expected:
        if item.startswith("announced "):
            if told["announced"] != int(item.split()[1]):
                wrong.append(f"announced {told['announced']} times, not {item.split()[1]}")
            continue
        absent = item.startswith("no ")
        match = re.fullmatch(
            r"(\w+) (.*?)(?: described (.*?))?( not activatable| activatable)?",
            item[3:] if absent else item,
        )
        role, name, description, activatable = match.groups()
        found = [e for e in told["elements"] if e["role"] == role and e["name"] == name]
        if absent:
            if found:
                wrong.append(f"there is a {role} {name!r}")
            continue
        if not found:
            wrong.append(f"no {role} {name!r} among {told['elements']}")
            continue
        element = found[0]
        if description is not None and element["description"] != description:
            wrong.append(f"{role} {name!r} is described {element['description']!r}")
        if activatable and element["activatable"] != (activatable == " activatable"):
            wrong.append(
                f"{role} {name!r} is{'' if element['activatable'] else ' not'} activatable"
            )
    return wrong


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("atspi", "chromium"):
        sys.exit(__doc__)
    table = list(rows())
    driver = {
        "atspi": [sys.executable, str(HERE.parent / "accessibility" / "atspi_driver.py")],
        "chromium": ["node", str(HERE / "accessibility.mjs")],
    }[sys.argv[1]]
    result = subprocess.run(
        [*driver, sys.argv[2]], input=json.dumps(table), capture_output=True, text=True, timeout=600
    )
    if result.returncode != 0:
        print(result.stdout + result.stderr)
        print(f"0 passed, {len(table)} failed")
        sys.exit(1)
    told = json.loads(result.stdout.strip().splitlines()[-1])
    failed = 0
    for row in table:
        wrong = check(row["expected"], told[row["name"]])
        failed += bool(wrong)
        print(("FAIL " if wrong else "ok   ") + row["name"] + "".join(f"\n     {w}" for w in wrong))
    print(f"{len(table) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
