#!/usr/bin/env python3
"""Writes the About page's featured links: links.ini (the entries, one section each,
UTF-8 with CR LF line ends and a leading empty line) and one picture per entry,
"<10 + position>.png", 120 x 80 pixels with at most 256 colours, drawn here.

Every entry points at a public institution's own pages of works that may be used
freely (public domain or open access), so users can make packs from them.
Needs Python 3 with PIL (Debian: python3-pil).

Usage: make_featured.py [OUTPUT_FOLDER]   (default: the folder of this script)
"""
import os
import sys

from PIL import Image, ImageDraw

W, H = 120, 80
SS = 4  # drawn four times as large, then reduced: smooth edges

ENTRIES = [
    {
        "Name": "National Gallery of Art",
        "Link": "https://www.nga.gov/open-access-images.html",
        "Link2": "",
        "Description": "Open access: tens of thousands of public-domain works as free images for any use.",
        "draw": "facade",
    },
    {
        "Name": "The Met Open Access",
        "Link": "https://www.metmuseum.org/art/collection",
        "Link2": "",
        "Description": "Search the collection for Open Access works: their images are free for any use.",
        "draw": "gallery",
    },
    {
        "Name": "Smithsonian Open Access",
        "Link": "https://www.si.edu/openaccess",
        "Link2": "",
        "Description": "Millions of images from the Smithsonian museums, released into the public domain.",
        "draw": "unlocked",
    },
    {
        "Name": "Library of Congress",
        "Link": "https://www.loc.gov/free-to-use/",
        "Link2": "https://www.loc.gov/pictures/",
        "Description": "Free to Use and Reuse: prints, photographs and posters without known restrictions.",
        "draw": "book",
    },
]


def s(*values):
    """Design coordinates (pixels of the final picture) to drawing coordinates."""
    return [round(v * SS) for v in values]


def sky(draw, top, bottom):
    for y in range(H * SS):
        t = y / (H * SS)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (W * SS, y)], fill=colour)


def facade(draw):
    sky(draw, (96, 150, 210), (200, 225, 245))
    draw.rectangle(s(0, 66, 120, 80), fill=(120, 160, 90))
    stone, shade = (236, 228, 210), (190, 180, 160)
    draw.rectangle(s(14, 60, 106, 68), fill=stone, outline=shade, width=SS)  # steps
    draw.rectangle(s(20, 56, 100, 60), fill=stone, outline=shade, width=SS)
    draw.polygon(s(14, 28, 60, 10, 106, 28), fill=stone, outline=shade)  # pediment
    draw.rectangle(s(18, 28, 102, 32), fill=shade)
    for i in range(6):
        x = 24 + i * 14
        draw.rectangle(s(x, 32, x + 6, 56), fill=stone, outline=shade, width=SS)
    draw.ellipse(s(55, 17, 65, 25), fill=(210, 190, 120))  # round window in the pediment


def gallery(draw):
    draw.rectangle(s(0, 0, 120, 62), fill=(150, 40, 45))  # wall
    draw.rectangle(s(0, 62, 120, 80), fill=(120, 84, 52))  # floor
    draw.rectangle(s(30, 8, 90, 48), fill=(190, 150, 60))  # frame
    draw.rectangle(s(35, 13, 85, 43), fill=(110, 160, 200))  # painted sky
    draw.polygon(s(35, 43, 50, 26, 62, 36, 72, 22, 85, 43), fill=(70, 110, 70))  # hills
    draw.ellipse(s(70, 16, 78, 24), fill=(250, 230, 150))  # sun
    draw.rectangle(s(44, 66, 76, 70), fill=(70, 50, 35))  # bench
    draw.rectangle(s(47, 70, 50, 76), fill=(70, 50, 35))
    draw.rectangle(s(70, 70, 73, 76), fill=(70, 50, 35))


def unlocked(draw):
    sky(draw, (245, 240, 225), (225, 215, 190))
    for i, colour in enumerate([(120, 150, 190), (200, 120, 90), (110, 160, 110)]):
        x, y = 10 + i * 10, 12 + i * 8
        draw.rectangle(s(x, y, x + 44, y + 34), fill=(90, 70, 50))
        draw.rectangle(s(x + 3, y + 3, x + 41, y + 31), fill=colour)
    gold, dark = (215, 175, 60), (150, 115, 30)
    draw.arc(s(74, 14, 100, 44), 180, 330, fill=dark, width=4 * SS)  # shackle, open
    draw.rounded_rectangle(s(70, 34, 104, 64), radius=4 * SS, fill=gold, outline=dark, width=SS)
    draw.ellipse(s(84, 43, 90, 49), fill=dark)
    draw.rectangle(s(86, 47, 88, 56), fill=dark)


def book(draw):
    sky(draw, (70, 90, 120), (40, 55, 80))
    paper, edge = (250, 246, 232), (170, 160, 140)
    draw.polygon(s(10, 18, 60, 24, 60, 72, 10, 66), fill=paper, outline=edge)  # left page
    draw.polygon(s(60, 24, 110, 18, 110, 66, 60, 72), fill=paper, outline=edge)  # right page
    draw.line(s(60, 24, 60, 72), fill=edge, width=SS)
    draw.rectangle(s(18, 28, 50, 48), fill=(120, 150, 120))  # a print on the left page
    draw.polygon(s(18, 48, 30, 36, 40, 44, 50, 34, 50, 48), fill=(60, 90, 60))
    for y in (54, 58, 62):
        draw.line(s(18, y, 50, y + 1), fill=edge, width=SS)
    draw.rectangle(s(70, 27, 102, 52), fill=(200, 170, 120))  # a photograph on the right
    draw.ellipse(s(80, 31, 92, 43), fill=(120, 90, 60))
    draw.rectangle(s(78, 42, 94, 52), fill=(120, 90, 60))


DRAWINGS = {"facade": facade, "gallery": gallery, "unlocked": unlocked, "book": book}


def picture(kind):
    image = Image.new("RGB", (W * SS, H * SS), (255, 255, 255))
    DRAWINGS[kind](ImageDraw.Draw(image))
    small = image.resize((W, H), Image.LANCZOS)
    return small.quantize(colors=256, method=Image.MEDIANCUT, dither=Image.Dither.NONE)


def ini_text():
    lines = [""]
    for number, entry in enumerate(ENTRIES, start=1):
        lines.append("[%d]" % number)
        for key in ("Name", "Link", "Link2", "Description"):
            lines.append("%s=%s" % (key, entry[key]))
        lines.append("")
    return "\r\n".join(lines)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "links.ini"), "w", encoding="utf-8", newline="") as f:
        f.write(ini_text())
    for position, entry in enumerate(ENTRIES):
        picture(entry["draw"]).save(os.path.join(out, "%d.png" % (10 + position)), optimize=True)
    files = ["links.ini"] + ["%d.png" % (10 + i) for i in range(len(ENTRIES))]
    with open(os.path.join(out, "featured.qrc"), "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE RCC>\n<!-- The About page's featured links and their pictures "
                "(made by make_featured.py beside this file). -->\n<RCC version=\"1.0\">\n"
                "  <qresource prefix=\"/featured\">\n")
        for name in files:
            f.write("    <file>%s</file>\n" % name)
        f.write("  </qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
