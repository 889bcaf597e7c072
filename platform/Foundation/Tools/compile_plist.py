#!/usr/bin/env python3
"""Stores a property list in its binary form, as a phone platform's build stores an
application's Info.plist, for a program that carries no XML reader (the web build).

Usage: compile_plist.py SOURCE OUTPUT
  Fails, naming the source, when it is not a property list.
"""
import pathlib
import plistlib
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    try:
        with open(source, "rb") as file:
            entries = plistlib.load(file, fmt=plistlib.FMT_XML)
    except (OSError, plistlib.InvalidFileException, ValueError) as error:
        sys.exit(f"compile_plist.py: {source}: {error}")
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(plistlib.dumps(entries, fmt=plistlib.FMT_BINARY, sort_keys=False))


if __name__ == "__main__":
    main()
