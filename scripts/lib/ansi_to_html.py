#!/usr/bin/env python3
"""Turns a terminal capture with its colours (tmux capture-pane -e) into an HTML page that
shows it as the terminal did: one span per run of cells with the same colours and weight.

Usage: ansi_to_html.py CAPTURE HTML
"""
import html
import re
import sys

PALETTE = [
    (0, 0, 0),
    (205, 0, 0),
    (0, 205, 0),
    (205, 205, 0),
    (0, 0, 238),
    (205, 0, 205),
    (0, 205, 205),
    (229, 229, 229),
    (127, 127, 127),
    (255, 0, 0),
    (0, 255, 0),
    (255, 255, 0),
    (92, 92, 255),
    (255, 0, 255),
    (0, 255, 255),
    (255, 255, 255),
]


def colour256(index):
    if index < 16:
        return PALETTE[index]
    if index >= 232:
        grey = 8 + 10 * (index - 232)
        return (grey, grey, grey)
    index -= 16
    level = [0, 95, 135, 175, 215, 255]
    return (level[index // 36], level[index // 6 % 6], level[index % 6])


def apply(codes, state):
    codes = codes or [0]
    i = 0
    while i < len(codes):
        code = codes[i]
        if code == 0:
            state.update(fg=None, bg=None, bold=False, dim=False, reverse=False)
        elif code == 1:
            state["bold"] = True
        elif code == 2:
            state["dim"] = True
        elif code == 7:
            state["reverse"] = True
        elif code == 22:
            state.update(bold=False, dim=False)
        elif code == 27:
            state["reverse"] = False
        elif code in (38, 48) and i + 1 < len(codes):
            key = "fg" if code == 38 else "bg"
            if codes[i + 1] == 5:
                state[key] = colour256(codes[i + 2])
                i += 2
            elif codes[i + 1] == 2:
                state[key] = tuple(codes[i + 2 : i + 5])
                i += 4
        elif code == 39:
            state["fg"] = None
        elif code == 49:
            state["bg"] = None
        elif 30 <= code <= 37:
            state["fg"] = PALETTE[code - 30]
        elif 40 <= code <= 47:
            state["bg"] = PALETTE[code - 40]
        elif 90 <= code <= 97:
            state["fg"] = PALETTE[code - 90 + 8]
        elif 100 <= code <= 107:
            state["bg"] = PALETTE[code - 100 + 8]
        i += 1


def style(state):
    fg = state["fg"] or (229, 229, 229)
    bg = state["bg"] or (0, 0, 0)
    if state["reverse"]:
        fg, bg = bg, fg
    css = f"color:rgb{fg};background:rgb{bg}"
    if state["bold"]:
        css += ";font-weight:bold"
    if state["dim"]:
        css += ";opacity:0.6"
    return css


def main(capture, output):
    text = open(capture, encoding="utf-8", errors="replace").read()
    state = dict(fg=None, bg=None, bold=False, dim=False, reverse=False)
    lines = []
    for line in text.rstrip("\n").split("\n"):
        parts = []
        for piece in re.split(r"(\x1b\[[0-9;:]*m)", line):
            match = re.fullmatch(r"\x1b\[([0-9;:]*)m", piece)
            if match:
                apply([int(c) if c else 0 for c in re.split("[;:]", match.group(1))], state)
            elif piece:
                parts.append(f'<span style="{style(state)}">{html.escape(piece)}</span>')
        lines.append("".join(parts))
    with open(output, "w", encoding="utf-8") as page:
        # Each row exactly as tall as its cells' backgrounds, so that rows meet without seams.
        page.write(
            "<!doctype html><meta charset=utf-8><style>body{margin:0;background:#000}"
            "pre{margin:0;font:16px/20px 'DejaVu Sans Mono',monospace}"
            "span{display:inline-block;height:20px;vertical-align:top}</style><pre>"
        )
        page.write("\n".join(lines))
        page.write("</pre>")


if __name__ == "__main__":
    main(*sys.argv[1:3])
