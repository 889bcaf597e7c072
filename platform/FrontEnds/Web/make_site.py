#!/usr/bin/env python3
"""Assembles the site a browser runs a program from: the page, the program as app.wasm, the
Inter faces it draws with (Latin and currency symbols, as woff2), icons rendered from the
program's own, a web app manifest in the program's name and colours, and a service worker
that keeps all of it on the device under a version made from its contents.

Everything about the program comes from its resources: the name and description from
Info.plist, the colours from the screen's root view in the main interface file, the icon
from the SVG Info.plist names.

Usage: make_site.py --wasm FILE --schema FILE --resources DIR --page DIR --out DIR
"""
import argparse
import hashlib
import json
import pathlib
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

INTER = pathlib.Path("/usr/share/fonts/opentype/inter")
FACES = {400: "Inter-Regular.otf", 600: "Inter-SemiBold.otf", 700: "Inter-Bold.otf"}
# Latin, punctuation (the ellipsis), currency signs, and the keypad's delete sign.
UNICODES = "U+0020-007E,U+00A0-017F,U+2010-2044,U+20A0-20C0,U+2190-21FF,U+2300-23FF"
FONT_LICENCE = pathlib.Path("/usr/share/doc/fonts-inter/copyright")


def fail(message):
    sys.exit(f"make_site.py: {message}")


def info_dictionary(path):
    plist = ElementTree.parse(path).getroot().find("dict")
    if plist is None:
        fail(f"{path}: no <dict>")
    entries = list(plist)
    return {key.text: value.text or "" for key, value in zip(entries, entries[1:])
            if key.tag == "key" and value.tag == "string"}


def screen_colour(storyboard):
    """The background of the main interface's root view, "#RRGGBB"."""
    root = ElementTree.parse(storyboard).getroot().find("viewController/view")
    colour = root.get("backgroundColor") if root is not None else None
    if not colour:
        fail(f"{storyboard}: the root view has no backgroundColor")
    return colour[:7]


def render_icons(svg, out):
    for name, size in {"icon-192.png": 192, "icon-512.png": 512, "apple-touch-icon.png": 180}.items():
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", out / name, svg],
                       check=True)


def subset_fonts(out):
    fonts = out / "fonts"
    fonts.mkdir()
    for weight, face in FACES.items():
        subprocess.run([sys.executable, "-m", "fontTools.subset", INTER / face,
                        f"--unicodes={UNICODES}", "--flavor=woff2", "--layout-features=kern,liga",
                        f"--output-file={fonts / f'inter-{weight}.woff2'}"], check=True)
    shutil.copy(FONT_LICENCE, fonts / "LICENSE-Inter.txt")


def fill(template, values):
    text = template.read_text()
    for name, value in values.items():
        text = text.replace("{{" + name + "}}", value)
    return text


def main():
    arguments = argparse.ArgumentParser()
    for option in ("--wasm", "--schema", "--resources", "--page", "--out"):
        arguments.add_argument(option, required=True, type=pathlib.Path)
    options = arguments.parse_args()

    info = info_dictionary(options.resources / "Info.plist")
    name = info.get("CFBundleName") or fail("Info.plist names no CFBundleName")
    storyboard = options.resources / (info.get("UIMainStoryboardFile", "Main") + ".storyboard")
    colour = screen_colour(storyboard)
    icon = options.resources / (info.get("CFBundleIconFile", "AppIcon") + ".svg")
    description = " ".join(info.get("NSHumanReadableDescription", "").split())

    building = options.out.with_name(options.out.name + ".partial")
    shutil.rmtree(building, ignore_errors=True)
    building.mkdir(parents=True)
    shutil.copy(options.wasm, building / "app.wasm")
    shutil.copy(options.schema, building / "schema.mjs")
    shutil.copy(options.page / "platform.mjs", building)
    shutil.copy(options.page / "page.mjs", building)
    values = {"NAME": name, "THEME_COLOR": colour, "DESCRIPTION": description}
    (building / "index.html").write_text(fill(options.page / "index.html", values))
    render_icons(icon, building)
    subset_fonts(building)
    manifest = {
        "name": name, "short_name": name, "description": description,
        "start_url": "./", "scope": "./", "display": "standalone", "orientation": "portrait",
        "theme_color": colour, "background_color": colour,
        "icons": [{"src": f"icon-{size}.png", "sizes": f"{size}x{size}", "type": "image/png",
                   "purpose": "any"} for size in (192, 512)],
    }
    (building / "manifest.webmanifest").write_text(json.dumps(manifest, indent=2) + "\n")

    files = sorted(str(path.relative_to(building)) for path in building.rglob("*") if path.is_file())
    digest = hashlib.sha256()
    for file in files:
        digest.update(file.encode() + b"\0" + (building / file).read_bytes())
    version = f"{name}-{digest.hexdigest()[:16]}"
    (building / "sw.js").write_text(fill(options.page / "sw.js", {
        "VERSION": version, "FILES": json.dumps(["./"] + files)}))

    shutil.rmtree(options.out, ignore_errors=True)
    building.rename(options.out)


if __name__ == "__main__":
    main()
