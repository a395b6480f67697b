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
Colours are the views' own palette; only ImageMagick's convert is needed.
"""
import math
import subprocess
import sys

FRAME_FILL = (13, 17, 23)
METER_BACK = (20, 26, 35)
METER_GREEN = (46, 204, 113)
DIM_TEXT = (125, 134, 148)
TITLE_TEXT = (201, 209, 217)
CLIP_RED = (255, 95, 86)
FREQ_GRID = (22, 29, 39)
GRID_LINE = (28, 36, 49)
ZERO_LINE = (44, 54, 70)
ACCENTS = ((61, 213, 152), (77, 157, 240))


def load(path):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # P6, width, height, maxval
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[pos + 1:]


class Image:
    def __init__(self, path):
        self.w, self.h, self.data = load(path)

    def at(self, x, y):
        i = 3 * (y * self.w + x)
        return tuple(self.data[i:i + 3])


def components(img, color, min_w, min_h):
    """Bounding boxes of the connected areas of exactly this colour."""
    seen = bytearray(img.w * img.h)
    boxes = []
    for y in range(0, img.h, 4):
        for x in range(0, img.w, 4):
            if seen[y * img.w + x] or img.at(x, y) != color:
                continue
            stack, box = [(x, y)], [x, y, x, y]
            seen[y * img.w + x] = 1
            while stack:
                cx, cy = stack.pop()
                box = [min(box[0], cx), min(box[1], cy), max(box[2], cx), max(box[3], cy)]
                for nx, ny in ((cx + 1, cy), (cx - 1, cy), (cx, cy + 1), (cx, cy - 1)):
                    if 0 <= nx < img.w and 0 <= ny < img.h and not seen[ny * img.w + nx] \
                            and img.at(nx, ny) == color:
                        seen[ny * img.w + nx] = 1
                        stack.append((nx, ny))
            if box[2] - box[0] >= min_w and box[3] - box[1] >= min_h:
                boxes.append(tuple(box))
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
    plot = (wx + 10, wy + 28, max(w - 38, 1), max(h - 48, 1))
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
    changed = [(x, y) for y in range(max(y0 - 110, 0), y0 - 4) for x in range(max(x0 - 12, 0), x1 + 12)
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
        subprocess.run(["convert", argv[0], "-crop", f"{x1 - x0}x{y1 - y0}+{x0}+{y0}", argv[1]], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
