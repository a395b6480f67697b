#!/usr/bin/env python3
"""Finds the dock's two views in a screenshot of OBS and reads what they show.

  dock_probe.py SCREENSHOT.png [CROP.png]
  dock_probe.py controls-change BEFORE.png AFTER.png

Prints one line per view (upper first) with its frame box, the share of its
meter lit by the level bar, how many read-out pixels are drawn, how wide its
title is drawn, the mode it shows and, in spectrum mode, the frequency under
the curve's highest point; exits 1 when there are not two views. With
CROP.png, saves the dock's area.

controls-change prints the box (x0 y0 x1 y1) of what changed in the rows of
controls above the upper view, or "none".
The views' palette and geometry are read from their C++ headers.
"""
import math
import os
import re
import sys

from PIL import Image as PilImage
from PIL import ImageChops, ImageDraw

VIEW = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "view")


def palette():
    """Every `inline const QColor name{r, g, b};` of the views' style."""
    with open(os.path.join(VIEW, "view-style.hpp"), encoding="utf-8") as f:
        found = re.findall(r"inline const QColor (\w+)\{(\d+), (\d+), (\d+)\};", f.read())
    return {name: (int(r), int(g), int(b)) for name, r, g, b in found}


def header_height():
    with open(os.path.join(VIEW, "view-geometry.hpp"), encoding="utf-8") as f:
        return int(re.search(r"kHeaderHeight = (\d+);", f.read()).group(1))


COLOURS = palette()
FRAME_FILL = COLOURS["frameFill"]
METER_BACK = COLOURS["meterBack"]
METER_GREEN = COLOURS["meterGreen"]
DIM_TEXT = COLOURS["dimText"]
TITLE_TEXT = COLOURS["titleText"]
CLIP_RED = COLOURS["clipRed"]
FREQ_GRID = COLOURS["freqGridLine"]
GRID_LINE = COLOURS["gridLine"]
ZERO_LINE = COLOURS["zeroLine"]
ACCENTS = (COLOURS["inputAccent"], COLOURS["masterAccent"])
HEADER = header_height()


class Image:
    def __init__(self, path):
        self.image = PilImage.open(path).convert("RGB")
        self.w, self.h = self.image.size
        self.pixels = self.image.load()

    def at(self, x, y):
        return self.pixels[x, y]


def components(img, color, min_w, min_h):
    """Bounding boxes of the connected areas of exactly this colour: a mask of
    the colour, each area of it flood-filled in turn."""
    bands = ImageChops.difference(img.image, PilImage.new("RGB", img.image.size, color)).split()
    mask = ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2]).point(lambda v: 255 if v == 0 else 0)
    boxes = []
    for y in range(0, img.h, 4):
        for x in range(0, img.w, 4):
            if mask.getpixel((x, y)) != 255:
                continue
            ImageDraw.floodfill(mask, (x, y), 128)
            box = mask.point(lambda v: 255 if v == 128 else 0).getbbox()
            mask = mask.point(lambda v: 64 if v == 128 else v)
            if box[2] - 1 - box[0] >= min_w and box[3] - 1 - box[1] >= min_h:
                boxes.append((box[0], box[1], box[2] - 1, box[3] - 1))
    return boxes


def tinted(pixel, background, color, share=0.3):
    d = [c - b for c, b in zip(color, background)]
    p = [c - b for c, b in zip(pixel, background)]
    length2 = sum(v * v for v in d)
    s = sum(a * b for a, b in zip(p, d)) / length2
    off = sum(abs(a - s * b) for a, b in zip(p, d))
    return share <= s <= 1.05 and off <= 12


def read_view(img, box):
    x0, y0, x1, y1 = box
    # The meter: the meterBack column inside the right edge of the view.
    meter_x = [x for x in range(x1 - 30, x1 + 1) if img.at(x, (y0 + y1) // 2) in (METER_BACK, METER_GREEN)
               or img.at(x, y1 - 25) in (METER_BACK, METER_GREEN)]
    lit = total = 0
    if meter_x:
        xm = (meter_x[0] + meter_x[-1]) // 2
        for y in range(y0 + 28, y1 - 18):
            p = img.at(xm, y)
            if p in (METER_BACK, METER_GREEN) or sum(p) > 200:
                total += 1
                lit += p != METER_BACK
    readout = sum(tinted(img.at(x, y), FRAME_FILL, DIM_TEXT) or tinted(img.at(x, y), FRAME_FILL, CLIP_RED)
                  for y in range(y0 + 4, y0 + 22) for x in range(max(x1 - 160, x0), x1 - 8))
    title = [x for x in range(x0, max(x1 - 160, x0)) for y in range(y0 + 4, y0 + 22)
             if tinted(img.at(x, y), FRAME_FILL, TITLE_TEXT, 0.5)]
    # The widget is one pixel beyond the fill on each side; its plot follows.
    wx, wy, w, h = x0 - 1, y0 - 1, x1 - x0 + 3, y1 - y0 + 3
    plot = (wx + 10, wy + HEADER, max(w - 38, 1), max(h - HEADER - 20, 1))
    mode, peak_hz = plot_mode(img, plot), 0
    if mode == "spectrum":
        peak_hz = spectrum_peak(img, plot)
    return {"box": box, "meter_lit": round(lit / total, 2) if total else 0.0, "readout_pixels": readout,
            "title_width": max(title) - min(title) + 1 if title else 0, "mode": mode, "peak_hz": peak_hz}


def plot_mode(img, plot):
    """A spectrum has vertical frequency lines (100 Hz is a third of the way);
    a waveform has none, only the horizontal grid of its lanes, whose outer
    lines the strokes of a -6 dB signal never cover."""
    px, py, pw, ph = plot
    x100 = px + int(pw * math.log(100 / 20) / math.log(1000))
    column = [img.at(x, py + ph // 2 + dy) for x in (x100 - 1, x100, x100 + 1) for dy in range(-20, 20, 5)]
    if sum(p == FREQ_GRID for p in column) >= 4:
        return "spectrum"
    rows = [img.at(px + pw // 3, y) for y in range(py, py + ph)]
    return "waveform" if sum(p in (GRID_LINE, ZERO_LINE) for p in rows) >= 2 else "unknown"


def spectrum_peak(img, plot):
    """Frequency of the column where the curve reaches highest."""
    px, py, pw, ph = plot
    best_y, best_x = None, None
    for x in range(px, px + pw):
        for y in range(py, py + ph):
            p = img.at(x, y)
            if any(tinted(p, FRAME_FILL, a, 0.6) for a in ACCENTS):
                if best_y is None or y < best_y:
                    best_y, best_x = y, x
                break
    if best_x is None:
        return 0
    return round(20 * 1000 ** ((best_x - px) / pw))


def find_views(img):
    return sorted(components(img, FRAME_FILL, 150, 50), key=lambda b: b[1])


def controls_change(before_path, after_path):
    before, after = Image(before_path), Image(after_path)
    views = find_views(before)
    if len(views) != 2:
        return "no views"
    x0, y0, x1, _ = views[0]
    # Three rows of controls, 36 pixels apart, end just above the upper view.
    changed = [(x, y) for y in range(max(y0 - 110, 0), y0 - 4) for x in range(max(x0 - 12, 0), min(x1 + 12, before.w))
               if before.at(x, y) != after.at(x, y)]
    if not changed:
        return "none"
    xs, ys = [x for x, _ in changed], [y for _, y in changed]
    return f"{min(xs)} {min(ys)} {max(xs)} {max(ys)}"


def main(argv):
    if len(argv) == 3 and argv[0] == "controls-change":
        print(controls_change(argv[1], argv[2]))
        return 0
    if not argv:
        sys.exit(__doc__)
    img = Image(argv[0])
    views = find_views(img)
    if len(views) != 2:
        print(f"found {len(views)} views, not 2: {views}")
        return 1
    for name, box in zip(("input", "master"), views):
        v = read_view(img, box)
        print(f"{name} box={v['box']} meter_lit={v['meter_lit']} readout_pixels={v['readout_pixels']} "
              f"title_width={v['title_width']} mode={v['mode']} peak_hz={v['peak_hz']}")
    if len(argv) > 1:
        x0 = min(b[0] for b in views) - 12
        y0 = max(min(b[1] for b in views) - 140, 0)
        x1 = max(b[2] for b in views) + 12
        y1 = min(max(b[3] for b in views) + 50, img.h - 1)
        img.image.crop((x0, y0, x1, y1)).save(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
