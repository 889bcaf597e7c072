#!/usr/bin/env python3
"""Reads an application's Info.plist for the build and its checks, as NSBundle reads it when
the program runs: its top-level dictionary's strings. One reader for CMake, the site's
assembly and the test scripts.

Usage: info_plist.py PLIST KEY
  Prints the key's string; fails, naming the key, when the list has none.
"""
import pathlib
import plistlib
import sys


def info_dictionary(path):
    """The list's top-level strings, by key."""
    try:
        with open(path, "rb") as file:
            entries = plistlib.load(file, fmt=plistlib.FMT_XML)
    except (OSError, plistlib.InvalidFileException, ValueError) as error:
        sys.exit(f"info_plist.py: {path}: {error}")
    if not isinstance(entries, dict):
        sys.exit(f"info_plist.py: {path}: not a property list with a <dict>")
    return {key: value for key, value in entries.items() if isinstance(value, str)}


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    path, key = pathlib.Path(sys.argv[1]), sys.argv[2]
    value = info_dictionary(path).get(key)
    if value is None:
        sys.exit(f"info_plist.py: {path} gives no {key}")
    print(value)


if __name__ == "__main__":
    main()
