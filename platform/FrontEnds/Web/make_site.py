#!/usr/bin/env python3
"""Assembles the site a browser runs a program from: the page with its script inside it, the
program as app.wasm, the Inter faces it draws with (Latin and currency symbols, as woff2),
icons rendered from the program's own, a web app manifest in the program's name and colours,
and a service worker that keeps all of it on the device under a version made from its
contents.

Everything about the program comes from its resources: the name and description from
Info.plist, the colours from the screen's root view in the main interface file, the icon
from the SVG Info.plist names, and what shows at once, before the program runs, from its
launch screen (UILaunchStoryboardName), turned into the page's own markup with its texts in
outline.

Usage: make_site.py --wasm FILE --boundary DIR --resources DIR --page DIR --out DIR
                    --shaper HB-SHAPE [--screenshot PNG]...
"""
import argparse
import functools
import gzip
import hashlib
import html
import json
import pathlib
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import brotli
from fontTools.pens.basePen import BasePen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

# Info.plist is read by the toolkit's own reader for the build.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "Foundation" / "Tools"))
from info_plist import info_dictionary  # noqa: E402

INTER = pathlib.Path("/usr/share/fonts/opentype/inter")
FACES = {400: "Inter-Regular.otf", 600: "Inter-SemiBold.otf", 700: "Inter-Bold.otf"}
# Each face in two files. The first holds what nearly every first screen draws (ASCII, the
# no-break space, the commonest currency signs, the ellipsis) and is all a first visit waits
# for; the second holds the rest of Latin, punctuation, currency signs and the keypad's
# delete sign, and is fetched after the first frame, or at once where a text needs it.
FIRST_UNICODES = "U+0020-007E,U+00A0,U+00A2-00A5,U+2026,U+20AC"
MORE_UNICODES = (
    "U+00A1,U+00A6-017F,U+2010-2025,U+2027-2044,U+20A0-20AB,U+20AD-20C0,U+2190-21FF,U+2300-23FF"
)
FONT_FILES = {"": FIRST_UNICODES, "-more": MORE_UNICODES}
FONT_LICENCE = pathlib.Path("/usr/share/doc/fonts-inter/copyright")
# What a server sends compressed; pictures and woff2 are compressed already.
COMPRESSIBLE = {".html", ".js", ".mjs", ".wasm", ".webmanifest", ".txt", ".svg"}


def fail(message):
    sys.exit(f"make_site.py: {message}")


def screen_colour(storyboard):
    """The background of the main interface's root view, "#RRGGBB"."""
    root = ElementTree.parse(storyboard).getroot().find("viewController/view")
    colour = root.get("backgroundColor") if root is not None else None
    if not colour:
        fail(f"{storyboard}: the root view has no backgroundColor")
    return colour[:7]


WEIGHTS = {"light": 300, "regular": 400, "medium": 500, "semibold": 600, "bold": 700}


class RelativePathPen(BasePen):
    """An SVG path in relative steps between points rounded to a tenth of a pixel (a third of
    a phone's pixel at most): short, and a letter drawn twice comes out much the same twice,
    which the page's compression takes for one."""

    def __init__(self, scale):
        super().__init__(None)
        self.scale = scale
        self.commands = []
        self.at = (0, 0)

    def steps(self, *points):
        """The points, each from the current one; a curve's control points are steps from
        where it starts, as is its end."""
        start = self.at
        rounded = [tuple(round(value * self.scale * 10) for value in point) for point in points]
        self.at = rounded[-1]
        return " ".join(
            f"{(value - was) / 10:g}" for point in rounded for value, was in zip(point, start)
        )

    def _moveTo(self, point):
        self.commands.append("m" + self.steps(point))
        self.contour_start = self.at

    def _lineTo(self, point):
        self.commands.append("l" + self.steps(point))

    def _curveToOne(self, first, second, end):
        self.commands.append("c" + self.steps(first, second, end))

    def _closePath(self):
        # A closed contour leaves the pen where the contour began.
        self.commands.append("z")
        self.at = self.contour_start

    def path(self):
        return "".join(self.commands).replace(" -", "-")


@functools.cache
def face_of(path):
    """A face's file, read once however many labels it draws."""
    return TTFont(path)


def outlined_text(shaper, text, weight, size, height, share):
    """A line of text as Inter draws it, shaped by HarfBuzz, as the path of the face's
    outlines: a picture that shows at once, in the right face, with no face file to wait for.
    Down its height it sits as the painter sets a line (the face's ascent and descent
    centred); across, it starts share of its advance left of the origin (0 for a line aligned
    left, 1/2 centred). None where the face lacks a character."""
    if weight not in FACES:
        return None
    path = INTER / FACES[weight]
    shaped = json.loads(
        subprocess.run(
            [shaper, "--output-format=json", "--no-glyph-names", path, text],
            check=True,
            capture_output=True,
            text=True,
        ).stdout
    )
    if any(glyph["g"] == 0 for glyph in shaped):
        return None
    font = face_of(path)
    order = font.getGlyphOrder()
    glyphs = font.getGlyphSet()
    scale = size / font["head"].unitsPerEm
    ascent, descent = font["hhea"].ascent, -font["hhea"].descent
    baseline = ((height / scale) - ascent - descent) / 2 + ascent
    outline = RelativePathPen(scale)
    pen_x = -share * sum(glyph["ax"] for glyph in shaped)
    for glyph in shaped:
        offset = (1, 0, 0, -1, pen_x + glyph["dx"], baseline - glyph["dy"])
        glyphs[order[glyph["g"]]].draw(TransformPen(outline, offset))
        pen_x += glyph["ax"]
    return outline.path()


# Where a line starts, as a share of its advance left of where it is aligned to.
ALIGNMENT_SHARES = {"left": 0, "center": 0.5, "right": 1}


def launch_markup(storyboard, shaper):
    """The launch screen's labels laid where its views lay them: proportionally across where
    their margins and width are flexible, at their points down, each clipped to its frame.
    The texts are drawn in outline, in one picture; one the faces cannot draw stays text, in
    whatever face the browser has."""
    if not storyboard.exists():
        return ""
    root = ElementTree.parse(storyboard).getroot().find("viewController/view")
    if root is None:
        fail(f"{storyboard}: no root view")
    screen_width = float(root.get("frame", "0 0 375 667").split()[2])
    outlined, texts = [], []
    for label in root.findall("view[@class='UILabel']"):
        x, y, width, height = (float(value) for value in label.get("frame").split())
        mask = label.get("autoresizingMask", "").split()
        if {"flexibleLeftMargin", "flexibleWidth", "flexibleRightMargin"} <= set(mask):
            left, wide = (f"{100 * value / screen_width:.4g}%" for value in (x, width))
        else:
            left, wide = f"{x:g}", f"{width:g}"
        text = label.get("text", "")
        colour = label.get("textColor", "#000000")
        size = float(label.get("fontSize", "17"))
        weight = WEIGHTS[label.get("fontWeight", "regular")]
        alignment = label.get("textAlignment", "left")
        share = ALIGNMENT_SHARES[alignment]
        outline = outlined_text(shaper, text, weight, size, height, share) if text else ""
        if outline is not None:
            outlined.append(
                f'<svg x="{left}" y="{y:g}" width="{wide}" height="{height:g}">'
                f'<svg x="{100 * share:g}%" overflow="visible">'
                f'<path fill="{colour}" d="{outline}"/></svg></svg>'
            )
            continue
        unit = "" if left.endswith("%") else "px"
        style = (
            f"left:{left}{unit};width:{wide}{unit};top:{y:g}px;height:{height:g}px;"
            f"line-height:{height:g}px;color:{colour};font-size:{size:g}px;"
            f"font-weight:{weight};text-align:{alignment}"
        )
        texts.append(f'<div style="{style}">{html.escape(text)}</div>')
    picture = f'<svg width="100%" height="100%">{"".join(outlined)}</svg>' if outlined else ""
    return picture + "".join(texts)


# The page's modules, each importing only those before it: the generated schema and binding,
# the program's system, the program, the painter, the accessibility mirror, input, the page.
GENERATED_MODULES = ("schema.mjs", "binding.mjs")
PROGRAM_MODULES = GENERATED_MODULES + ("wasi.mjs", "program.mjs", "painter.mjs")
PAGE_MODULES = PROGRAM_MODULES + ("mirror.mjs", "input.mjs", "page.mjs")
SITE_IMPORT = re.compile(r"^import \{[^}]*\} from '\./([\w-]+\.mjs)';\n", re.MULTILINE)
TOP_LEVEL_NAME = re.compile(
    r"^(?:export )?(?:async )?(?:function\*?|class|const|let|var) (\w+)", re.MULTILINE
)


def without_comment_lines(script):
    """The script without its lines that are only a comment, and its blank lines: a quarter of
    its bytes that a first visit would otherwise parse before the launch screen shows. Safe
    while no text in it spans lines (a template literal): that fails the build instead."""
    kept = []
    for number, line in enumerate(script.split("\n"), 1):
        if line.count("`") % 2:
            fail(f"the page's script line {number} starts or ends a text across lines: {line}")
        if line.strip() and not line.lstrip().startswith("//"):
            kept.append(line)
    return "\n".join(kept) + "\n"


def page_script(sources):
    """The page's modules as one module, for a script inside the page: a first visit then
    waits for no module file before the program can start. Their imports of each other and
    their exports go; what each declares at its top level must be its own."""
    declared = {}
    parts = []
    for name, source in sources:
        for imported in SITE_IMPORT.findall(source):
            if imported not in declared:
                fail(f"{name} imports {imported}, which does not come before it")
        source = SITE_IMPORT.sub("", source)
        if re.search(r"^import |from '\./", source, re.MULTILINE):
            fail(f"{name}: an import the page's one script cannot keep")
        names = set(TOP_LEVEL_NAME.findall(source))
        for earlier, their_names in declared.items():
            if names & their_names:
                fail(f"{name} and {earlier} both declare {', '.join(sorted(names & their_names))}")
        declared[name] = names
        source = re.sub(r"^export \{[^}]*\};\n", "", source, flags=re.MULTILINE)
        parts.append(re.sub(r"^export ", "", source, flags=re.MULTILINE))
    script = without_comment_lines("".join(parts))
    if "</script" in script.lower():
        fail("the page's script holds </script, which would end it early")
    return script


def render(svg_text, size, out):
    subprocess.run(
        ["rsvg-convert", "-w", str(size), "-h", str(size), "-o", out],
        input=svg_text.encode(),
        check=True,
    )


def full_bleed(svg, colour, share):
    """The icon's drawing on a square of its colour that fills every corner, its drawing
    scaled to `share` of the side: what a phone masks into its own shape (a maskable icon
    keeps its drawing within the central 80 % circle)."""
    source = ElementTree.parse(svg).getroot()
    inner = "".join(ElementTree.tostring(child, encoding="unicode") for child in source)
    inner = inner.replace("ns0:", "").replace(' xmlns:ns0="http://www.w3.org/2000/svg"', "")
    view_box = source.get("viewBox")
    offset = (1 - share) / 2 * 1000
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1000 1000">'
        f'<rect width="1000" height="1000" fill="{colour}"/>'
        f'<svg x="{offset:g}" y="{offset:g}" width="{share * 1000:g}" height="{share * 1000:g}" '
        f'viewBox="{view_box}">{inner}</svg></svg>'
    )


def render_icons(svg, colour, out):
    # A first visit asks for the tab's icon while the program downloads: drawn at what a tab
    # shows (16 points, 48 pixels at a phone's 3x), it takes 1.9 kB of that bandwidth rather
    # than the 192-pixel icon's 7.6.
    sizes = {"icon-48.png": 48, "icon-192.png": 192, "icon-512.png": 512}
    for name, size in sizes.items():
        render(pathlib.Path(svg).read_text(), size, out / name)
    # The icon's own square reaches the corners of its 128: at 72 % of the side its drawing
    # sits inside the maskable safe zone, and at 92 % it fills a home screen's rounded square.
    render(full_bleed(svg, colour, 0.72), 512, out / "icon-maskable-512.png")
    render(full_bleed(svg, colour, 0.92), 180, out / "apple-touch-icon.png")


def add_screenshots(pictures, out):
    """Pictures of the program for the install dialog, at a phone's width in points."""
    entries = []
    for index, picture in enumerate(pictures):
        name = f"screenshot-{index + 1}.png"
        # A few colours do for flat pictures, at a sixth of the bytes.
        subprocess.run(
            [
                "convert",
                picture,
                "-resize",
                "375x",
                "-strip",
                "+dither",
                "-colors",
                "64",
                out / name,
            ],
            check=True,
        )
        size = subprocess.run(
            ["identify", "-format", "%wx%h", out / name], check=True, capture_output=True, text=True
        ).stdout.strip()
        entries.append({"src": name, "sizes": size, "type": "image/png", "form_factor": "narrow"})
    return entries


def subset_fonts(out):
    """The faces' files, and the page's ways to them. A face's first file is loaded as a
    face by a script at the top of the page's body, as the program downloads; not preloaded
    or loaded from the head, since Chromium then holds the page's first paint until it came.
    A second file has a rule of its own (Firefox fetches a file again for a second rule that
    names it), with its range of characters, so that a browser fetches it only for a text
    that needs it."""
    fonts = out / "fonts"
    fonts.mkdir()
    rules, first_faces = [], []
    for weight, face in FACES.items():
        for suffix, unicodes in FONT_FILES.items():
            name = f"inter-{weight}{suffix}.woff2"
            subprocess.run(
                [
                    sys.executable,
                    "-m",
                    "fontTools.subset",
                    INTER / face,
                    f"--unicodes={unicodes}",
                    "--flavor=woff2",
                    "--layout-features=kern,liga",
                    f"--output-file={fonts / name}",
                ],
                check=True,
            )
            if unicodes == FIRST_UNICODES:
                first_faces.append({"weight": weight, "url": f"fonts/{name}", "unicodes": unicodes})
                continue
            rules.append(
                f"@font-face {{ font-family: Inter; font-weight: {weight}; font-display: swap; "
                f'src: url(fonts/{name}) format("woff2"); unicode-range: {unicodes}; }}'
            )
    shutil.copy(FONT_LICENCE, fonts / "LICENSE-Inter.txt")
    return {"FONT_FACES": "\n".join(rules), "FIRST_FACES": json.dumps(first_faces)}


def precompress(folder):
    """Each compressible file also as FILE.br and FILE.gz, at their best, for servers that send
    a stored copy rather than compress on every request."""
    for path in sorted(folder.rglob("*")):
        if path.suffix in COMPRESSIBLE and path.is_file():
            data = path.read_bytes()
            path.with_name(path.name + ".br").write_bytes(brotli.compress(data, quality=11))
            path.with_name(path.name + ".gz").write_bytes(gzip.compress(data, 9, mtime=0))


def fill(template, values):
    text = template.read_text()
    for name, value in values.items():
        text = text.replace("{{" + name + "}}", value)
    return text


def main():
    arguments = argparse.ArgumentParser()
    for option in ("--wasm", "--boundary", "--resources", "--page", "--out", "--shaper"):
        arguments.add_argument(option, required=True, type=pathlib.Path)
    arguments.add_argument("--screenshot", action="append", default=[], type=pathlib.Path)
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
    # The program's modules also stay modules of their own, for other hosts (Node).
    sources = [
        (module, (options.boundary if module in GENERATED_MODULES else options.page) / module)
        for module in PAGE_MODULES
    ]
    for module, path in sources:
        if module in PROGRAM_MODULES:
            shutil.copy(path, building / module)
    sources = [(module, path.read_text()) for module, path in sources]
    launch = options.resources / (
        info.get("UILaunchStoryboardName", "LaunchScreen") + ".storyboard"
    )
    values = {
        "NAME": name,
        "THEME_COLOR": colour,
        "DESCRIPTION": description,
        "LAUNCH": launch_markup(launch, options.shaper),
        "PAGE_SCRIPT": page_script(sources),
        **subset_fonts(building),
    }
    (building / "index.html").write_text(fill(options.page / "index.html", values))
    render_icons(icon, colour, building)
    screenshots = add_screenshots(options.screenshot, building)
    manifest = {
        "id": "./",
        "name": name,
        "short_name": name,
        "description": description,
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        "orientation": "portrait",
        "theme_color": colour,
        "background_color": colour,
        "icons": [
            {
                "src": f"icon-{size}.png",
                "sizes": f"{size}x{size}",
                "type": "image/png",
                "purpose": "any",
            }
            for size in (192, 512)
        ]
        + [
            {
                "src": "icon-maskable-512.png",
                "sizes": "512x512",
                "type": "image/png",
                "purpose": "maskable",
            }
        ],
    }
    if screenshots:
        manifest["screenshots"] = screenshots
    (building / "manifest.webmanifest").write_text(json.dumps(manifest, indent=2) + "\n")

    # The install dialog's pictures and the modules for other hosts are not needed to run,
    # offline or not.
    files = sorted(
        str(path.relative_to(building))
        for path in building.rglob("*")
        if path.is_file()
        and not path.name.startswith("screenshot-")
        and path.name not in PAGE_MODULES
    )
    digest = hashlib.sha256()
    for file in files:
        digest.update(file.encode() + b"\0" + (building / file).read_bytes())
    version = f"{name}-{digest.hexdigest()[:16]}"
    # The worker reads its list from a string literal, so that its source stays JavaScript.
    file_list = json.dumps(["./"] + files)
    if "'" in file_list or "\\" in file_list:
        fail(f"a file name the worker cannot list: {file_list}")
    (building / "sw.js").write_text(
        fill(options.page / "sw.js", {"VERSION": version, "FILES": file_list})
    )
    precompress(building)

    shutil.rmtree(options.out, ignore_errors=True)
    building.rename(options.out)


if __name__ == "__main__":
    main()
