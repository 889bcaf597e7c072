"""The launch screen as the site's assembly draws it: each label's text in Inter's outlines,
placed across by its alignment and down as the page's painter sets a line, and a text the
faces cannot draw left as text. The outlines are checked against the face's own tables.

Usage: launch_screen_test.py HB-SHAPE
"""
import html
import pathlib
import re
import sys
import tempfile
import unittest

from fontTools.pens.boundsPen import ControlBoundsPen
from fontTools.ttLib import TTFont

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "platform/FrontEnds/Web"))
import make_site  # noqa: E402

SHAPER = sys.argv.pop(1) if len(sys.argv) > 1 else "hb-shape"
BOLD = TTFont(make_site.INTER / make_site.FACES[700])
SCALE = 32 / BOLD["head"].unitsPerEm


def launch_screen(*labels):
    """The markup of a launch screen 375 points wide with these labels' attributes."""
    views = "".join(
        '<view class="UILabel" '
        + " ".join(f'{name}="{html.escape(value)}"' for name, value in label.items())
        + "/>"
        for label in labels
    )
    with tempfile.TemporaryDirectory() as folder:
        storyboard = pathlib.Path(folder) / "LaunchScreen.storyboard"
        storyboard.write_text(
            '<document><viewController><view class="UIView" frame="0 0 375 667">'
            f"{views}</view></viewController></document>"
        )
        return make_site.launch_markup(storyboard, SHAPER)


def path_points(path):
    """The points a path of relative steps passes through, its curves' control points too."""
    tokens = re.findall(r"[mlcz]|-?\d+(?:\.\d+)?", path)
    points, at, contour_start, command = [], (0.0, 0.0), (0.0, 0.0), None
    index = 0
    while index < len(tokens):
        if tokens[index] in "mlcz":
            command = tokens[index]
            index += 1
            if command == "z":
                at = contour_start
            continue
        count = 3 if command == "c" else 1
        values = [float(token) for token in tokens[index : index + 2 * count]]
        index += 2 * count
        step = [(at[0] + values[2 * k], at[1] + values[2 * k + 1]) for k in range(count)]
        points += step
        at = step[-1]
        if command == "m":
            contour_start = at
    return points


def ink(text):
    """The run's control bounds from the face's tables, in pixels at 32 px, from the start of
    its advance and its baseline (y down), and its advance; the run is of one letter only, so
    that no kerning applies."""
    name = BOLD.getBestCmap()[ord(text[0])]
    pen = ControlBoundsPen(BOLD.getGlyphSet())
    BOLD.getGlyphSet()[name].draw(pen)
    x_min, y_min, x_max, y_max = pen.bounds
    advance = BOLD["hmtx"][name][0]
    run = (len(text) - 1) * advance
    return (x_min * SCALE, -y_max * SCALE, (run + x_max) * SCALE, -y_min * SCALE), (
        len(text) * advance * SCALE
    )


# The painter sets a line with the face's ascent and descent centred down its rectangle.
BASELINE = (40 - (BOLD["hhea"].ascent - BOLD["hhea"].descent) * SCALE) / 2 + (
    BOLD["hhea"].ascent * SCALE
)


class LaunchScreenTests(unittest.TestCase):
    def test_outlines_are_placed_by_alignment_and_down_as_the_painter_sets_a_line(self):
        flexible = "flexibleLeftMargin flexibleWidth flexibleRightMargin"
        # The alignment, the label's mask, where its frame lies across, and how much of the
        # run's advance lies left of where it is aligned to.
        for alignment, mask, across, share in [
            ("center", flexible, ('x="4.267%"', 'width="91.47%"', 'x="50%"'), 0.5),
            ("left", "", ('x="16"', 'width="343"', 'x="0%"'), 0),
            ("right", flexible, ('x="4.267%"', 'width="91.47%"', 'x="100%"'), 1),
        ]:
            with self.subTest(alignment):
                markup = launch_screen(
                    {
                        "frame": "16 44 343 40",
                        "text": "ooo",
                        "textColor": "#FFFFFF",
                        "textAlignment": alignment,
                        "fontSize": "32",
                        "fontWeight": "bold",
                        "autoresizingMask": mask,
                    }
                )
                for attribute in across + ('y="44"', 'height="40"', 'fill="#FFFFFF"'):
                    self.assertIn(attribute, markup)
                (x_min, y_min, x_max, y_max), advance = ink("ooo")
                points = path_points(re.search(r' d="([^"]+)"', markup)[1])
                left = -share * advance
                # Within the tenths of a pixel the path is rounded to.
                for found, expected in [
                    (min(x for x, _ in points), left + x_min),
                    (max(x for x, _ in points), left + x_max),
                    (min(y for _, y in points), BASELINE + y_min),
                    (max(y for _, y in points), BASELINE + y_max),
                ]:
                    self.assertAlmostEqual(found, expected, delta=0.11)

    def test_a_text_the_faces_cannot_draw_stays_text(self):
        for name, label, shown in [
            ("a character Inter lacks", {"text": "orvane 漢"}, "orvane 漢"),
            ("a weight the site carries no face of", {"fontWeight": "light"}, "orvane"),
            ("markup in such a text", {"text": "<漢>&"}, "&lt;漢&gt;&amp;"),
        ]:
            with self.subTest(name):
                markup = launch_screen({"frame": "16 44 343 40", "text": "orvane", **label})
                self.assertNotIn("<path", markup)
                self.assertIn(f">{shown}</div>", markup)
                self.assertIn("left:16px;width:343px;top:44px;height:40px", markup)

    def test_outlined_and_text_labels_share_the_screen(self):
        markup = launch_screen(
            {"frame": "16 44 343 40", "text": "orvane"},
            {"frame": "16 86 343 22", "text": "漢字"},
        )
        self.assertEqual(markup.count("<path"), 1)
        self.assertIn(">漢字</div>", markup)


if __name__ == "__main__":
    unittest.main()
