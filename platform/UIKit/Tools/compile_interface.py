#!/usr/bin/env python3
"""Compiles an interface file for a program that carries no XML reader (the web build), as a
phone platform's build compiles its storyboards: the same elements and attributes, each
element with the line it began on, so that the loader's messages still name the source's
lines. The program tells the two forms apart by their first bytes.

Usage: compile_interface.py SOURCE OUTPUT
  Fails, naming the source's line, when SOURCE is not well-formed XML.

The compiled form is MAGIC, then the root element, where an element is
  NAME NUL LINE NUL ATTRIBUTE-COUNT NUL CHILD-COUNT NUL (KEY NUL VALUE NUL)...
followed by its child elements, counts and lines in decimal. XML cannot hold a NUL, so no
name or value is cut short by one. Text between elements is left out: no object reads it.
"""
import pathlib
import sys
import xml.parsers.expat

MAGIC = b"\0storyboardc 1\0"


def elements_of(source):
    """The document's root element, as [name, line, attributes, children] lists."""
    parser = xml.parsers.expat.ParserCreate()
    parser.ordered_attributes = True
    root = []
    open_elements = []

    def start(name, attributes):
        pairs = list(zip(attributes[0::2], attributes[1::2]))
        element = [name, parser.CurrentLineNumber, pairs, []]
        (open_elements[-1][3] if open_elements else root).append(element)
        open_elements.append(element)

    def end(_name):
        open_elements.pop()

    parser.StartElementHandler = start
    parser.EndElementHandler = end
    parser.Parse(source, True)
    return root[0]


def compiled(element):
    """The element and its children, in the compiled form's words."""
    name, line, attributes, children = element
    words = [name, str(line), str(len(attributes)), str(len(children))]
    for key, value in attributes:
        words += [key, value]
    encoded = b"".join(word.encode("utf-8") + b"\0" for word in words)
    return encoded + b"".join(compiled(child) for child in children)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    try:
        root = elements_of(source.read_bytes())
    except OSError as error:
        sys.exit(f"compile_interface.py: {source}: {error.strerror}")
    except xml.parsers.expat.ExpatError as error:
        message = xml.parsers.expat.ErrorString(error.code)
        sys.exit(f"{source}:{error.lineno}: malformed XML: {message}")
    sys.setrecursionlimit(10000)
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(MAGIC + compiled(root))


if __name__ == "__main__":
    main()
