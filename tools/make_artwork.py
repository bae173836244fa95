#!/usr/bin/env python3
"""Draws Quellnet's artwork and writes it into res/.

  banner-96.bmp, banner-120.bmp, banner-144.bmp, banner-192.bmp
                the banner across the top of the main window, drawn for
                screens of 96, 120, 144 and 192 DPI (100, 125, 150 and
                200 %): 380 x 60 pixels at 96 DPI and in proportion above
                (8-bit BMPs with a 256-colour palette, run-length encoded)
  quellnet.ico  the program icon: 16, 20, 24, 32, 40, 48 and 64 pixels with
                an alpha channel, 256 pixels as PNG (Windows Vista and
                later), and 16 and 32 pixels in 16 colours for old systems
                and 16-colour screens
  green.gif     25 x 25 status picture: protected
  red.gif       25 x 25 status picture: not protected

The icon is drawn with Pillow (Debian: python3-pil); everything else uses only
the Python standard library. The output is the same on every run, so the
committed files can be checked by running this again:

  python3 tools/make_artwork.py [output-folder]
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageDraw

# --------------------------------------------------------------------------
# Drawing helpers. Images are lists of rows of (r, g, b) tuples.


def blank(width, height, colour):
    return [[colour] * width for _ in range(height)]


def mix(a, b, t):
    """Blends colour a towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shield_inside(u, v):
    """True when (u, v) lies inside a shield of unit size: u across in
    -0.5..0.5, v down in 0..1. Straight sides down to 55 %, then an
    elliptic curve to the point at the bottom."""
    if v < 0.0 or v > 1.0:
        return False
    half = 0.5
    if v > 0.55:
        k = (v - 0.55) / 0.45
        half = 0.5 * math.sqrt(max(0.0, 1.0 - k * k))
    # A shallow dip in the middle of the top edge.
    top = 0.06 * (1.0 - (2.0 * u) ** 2)
    return abs(u) <= half and v >= top


def coverage(inside, x, y, samples=4):
    """Fraction of a pixel's sub-samples for which inside(sx, sy) holds."""
    hits = 0
    for j in range(samples):
        for i in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


# --------------------------------------------------------------------------
# A small stroke font: each letter is a list of polylines on a 4 x 6 grid.

_O = [(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]
GLYPHS = {
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]],
    "C": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5)]],
    "D": [[(0, 0), (0, 6), (3, 6), (4, 5), (4, 1), (3, 0), (0, 0)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "H": [[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]],
    "I": [[(2, 0), (2, 6)], [(1, 0), (3, 0)], [(1, 6), (3, 6)]],
    "L": [[(0, 0), (0, 6), (4, 6)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "O": [_O],
    "P": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)]],
    "Q": [_O, [(2.6, 4.6), (4.2, 6.4)]],
    "R": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)], [(2, 3), (4, 6)]],
    "S": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 2), (1, 3), (3, 3), (4, 4), (4, 5), (3, 6),
           (1, 6), (0, 5)]],
    "T": [[(0, 0), (4, 0)], [(2, 0), (2, 6)]],
    "U": [[(0, 0), (0, 5), (1, 6), (3, 6), (4, 5), (4, 0)]],
    "V": [[(0, 0), (2, 6), (4, 0)]],
    "-": [[(1, 3), (3, 3)]],
    " ": [],
}


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def text_segments(text, x, y, unit, spacing):
    """Segments, in pixels, of `text` set with its top-left corner at (x, y)."""
    segments = []
    for letter in text:
        for line in GLYPHS[letter]:
            for (ax, ay), (bx, by) in zip(line, line[1:]):
                segments.append((x + ax * unit, y + ay * unit, x + bx * unit, y + by * unit))
        x += 4 * unit + spacing
    return segments


def draw_text(image, text, x, y, unit, spacing, thickness, colour, shadow=None, offset=1.5):
    segments = text_segments(text, x, y, unit, spacing)
    half = thickness / 2.0
    width = len(text) * (4 * unit + spacing)
    left, right = int(x - half - 2), int(x + width + half + 2)
    top, bottom = int(y - half - 2), int(y + 6 * unit + half + 2)

    def inside_at(offset):
        def inside(sx, sy):
            sx -= offset
            sy -= offset
            return any(segment_distance(sx, sy, *s) <= half for s in segments)
        return inside

    layers = []
    if shadow is not None:
        layers.append((inside_at(offset), shadow))
    layers.append((inside_at(0.0), colour))
    for inside, layer_colour in layers:
        for py in range(max(0, top), min(len(image), bottom + 2)):
            for px in range(max(0, left), min(len(image[0]), right + 2)):
                c = coverage(inside, px, py)
                if c > 0:
                    image[py][px] = mix(image[py][px], layer_colour, c)


def draw_shield(image, x, y, width, height, rim, face_left, face_right, mark):
    """A shield with a light rim, a two-tone face and a check mark."""

    def outer(sx, sy):
        return shield_inside((sx - x) / width - 0.5, (sy - y) / height)

    inner_scale = 0.82

    def inner(sx, sy):
        u = (sx - x) / width - 0.5
        v = (sy - y) / height
        return shield_inside(u / inner_scale, (v - 0.08) / inner_scale)

    def tick(sx, sy):
        u = (sx - x) / width
        v = (sy - y) / height
        a = (0.27 * width + x, 0.47 * height + y)
        b = (0.45 * width + x, 0.66 * height + y)
        c = (0.75 * width + x, 0.28 * height + y)
        t = 0.07 * width
        return (segment_distance(sx, sy, *a, *b) <= t or
                segment_distance(sx, sy, *b, *c) <= t) and 0 <= u <= 1 and 0 <= v <= 1

    for py in range(int(y), int(y + height) + 1):
        for px in range(int(x), int(x + width) + 1):
            if py >= len(image) or px >= len(image[0]):
                continue
            c = coverage(outer, px, py)
            if c == 0:
                continue
            # The rim shades from light at the top to darker at the bottom.
            t = (py - y) / height
            image[py][px] = mix(image[py][px], mix(rim, mix(rim, (0, 0, 0), 0.45), t), c)
            ci = coverage(inner, px, py)
            if ci > 0:
                face = face_left if px < x + width / 2 else face_right
                face = mix(face, (255, 255, 255), 0.25 * (1.0 - t))
                image[py][px] = mix(image[py][px], face, ci)
            ct = coverage(tick, px, py)
            if ct > 0:
                image[py][px] = mix(image[py][px], mark, ct)


# --------------------------------------------------------------------------
# Colour reduction: median cut to at most `count` colours.


def median_cut(colours, count):
    """`colours` maps (r, g, b) to its pixel count. Returns a palette."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        # Split the box with the widest channel range that can be split.
        best, best_range, best_channel = None, -1, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = index, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for i, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[i] * n for c, n in box) / total)) for i in range(3)))
    return sorted(set(palette))


def quantise(image, count):
    colours = {}
    for row in image:
        for c in row:
            colours[c] = colours.get(c, 0) + 1
    if len(colours) <= count:
        palette = sorted(colours)
    else:
        palette = median_cut(colours, count)
    nearest = {}
    for c in colours:
        nearest[c] = min(range(len(palette)),
                         key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
    indices = [[nearest[c] for c in row] for row in image]
    return palette, indices


# --------------------------------------------------------------------------
# GIF writer: GIF89a, one image, global colour table, LZW-compressed.


def lzw_encode(data, min_code_size):
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer, bit_count = 0, 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def reset():
        return {(None, i): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    prefix = None
    for value in data:
        key = (prefix, value)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = reset()
        prefix = table[(None, value)]
    if prefix is not None:
        emit(prefix, size)
        # A decoder adds one more entry on reading that last code and may
        # widen its codes before it reads the end code; follow it.
        if next_code == (1 << size) and size < 12:
            size += 1
    emit(end, size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def write_gif(path, palette, indices, table_bits=None):
    height, width = len(indices), len(indices[0])
    bits = table_bits or max(1, math.ceil(math.log2(max(2, len(palette)))))
    entries = 1 << bits
    table = list(palette) + [(0, 0, 0)] * (entries - len(palette))
    data = bytearray(b"GIF89a")
    # Logical screen: global table present, 8 bits per primary, table size.
    data += struct.pack("<HHBBB", width, height, 0x80 | (7 << 4) | (bits - 1), 0, 0)
    for r, g, b in table:
        data += bytes((r, g, b))
    data += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    pixels = [v for row in indices for v in row]
    compressed = lzw_encode(pixels, min_code_size)
    for start in range(0, len(compressed), 255):
        chunk = compressed[start:start + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3b"
    with open(path, "wb") as f:
        f.write(data)


def rle8(indices):
    """The rows bottom-up in BI_RLE8: runs of one colour as (count, index),
    stretches of differing pixels in absolute mode, each row ending in 0 0."""
    data = bytearray()
    for row in reversed(indices):
        i, n = 0, len(row)
        while i < n:
            run = 1
            while i + run < n and row[i + run] == row[i] and run < 255:
                run += 1
            if run >= 2:
                data += bytes((run, row[i]))
                i += run
                continue
            # Absolute mode up to the next run of three, at least 3 pixels.
            k = i
            while k < n and k - i < 255 and not (k + 2 < n and row[k] == row[k + 1] == row[k + 2]):
                k += 1
            if k - i < 3:
                for v in row[i:k]:
                    data += bytes((1, v))
            else:
                data += bytes((0, k - i)) + bytes(row[i:k]) + (b"\x00" if (k - i) % 2 else b"")
            i = k
        data += b"\x00\x00"
    return data + b"\x00\x01"


def write_bmp(path, palette, indices):
    """An 8-bit palette BMP, run-length encoded (BI_RLE8), which LoadImage
    reads on every Windows; a third of the uncompressed size."""
    height, width = len(indices), len(indices[0])
    table = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    pixels = rle8(indices)
    offset = 14 + 40 + 4 * 256
    data = bytearray(b"BM") + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    data += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(pixels), 2835, 2835,
                        256, 0)
    for r, g, b in table:
        data += bytes((b, g, r, 0))
    data += pixels
    with open(path, "wb") as f:
        f.write(data)


# --------------------------------------------------------------------------
# The pictures.


# The screen densities the banner is drawn for; the window takes the one of
# its DPI or the nearest larger one (src/platform/win32/main_window_dpi_win32.cpp).
BANNER_DPIS = [96, 120, 144, 192]


def banner(dpi):
    """The banner for a screen of `dpi`: every measure of the 96-DPI drawing
    scaled, so that shapes and text are drawn at that size, not enlarged."""
    s = dpi / 96.0
    width, height = round(380 * s), round(60 * s)
    left, right = (12, 32, 84), (36, 104, 168)
    image = []
    for y in range(height):
        row = []
        for x in range(width):
            # Left-to-right ramp, a little lighter towards the top.
            c = mix(left, right, x / (width - 1))
            c = mix(c, (255, 255, 255), 0.10 * (1.0 - y / (height - 1)))
            row.append(c)
        image.append(row)
    # A thin light band along the bottom edge, 3 pixels up at 96 DPI.
    for y in range(round(57 * s), max(round(58 * s), round(57 * s) + 1)):
        for x in range(width):
            image[y][x] = mix(image[y][x], (200, 220, 240), 0.6)
    draw_shield(image, 16 * s, 7 * s, 38 * s, 46 * s, rim=(228, 232, 240),
                face_left=(30, 90, 190), face_right=(20, 60, 140), mark=(255, 255, 255))
    draw_text(image, "QUELLNET", 72 * s, 9 * s, unit=4.0 * s, spacing=7 * s,
              thickness=3.6 * s, colour=(255, 255, 255), shadow=(8, 20, 50), offset=1.5 * s)
    draw_text(image, "POP-UP SHIELD", 74 * s, 41 * s, unit=1.5 * s, spacing=3.2 * s,
              thickness=1.4 * s, colour=(190, 215, 245))
    draw_text(image, "CORVANE", 310 * s, 44 * s, unit=1.2 * s, spacing=2.6 * s,
              thickness=1.2 * s, colour=(160, 190, 230))
    palette, indices = quantise(image, 256)
    return palette, indices


# The 16 colours of the standard VGA palette, the icon's colour table.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_image(size):
    """Returns (indices into VGA, mask) rows; mask 1 = transparent."""
    indices, mask = [], []
    margin = size / 16.0
    w, h = size - 2 * margin, size - margin

    def outer(sx, sy):
        return shield_inside((sx - margin) / w - 0.5, sy / h)

    rim = 2 if size >= 32 else 1
    inner_w, inner_h = w - 2 * rim, h - 2.2 * rim

    def inner(sx, sy):
        return shield_inside((sx - margin - rim) / inner_w - 0.5, (sy - rim) / inner_h)

    def tick(sx, sy):
        a = (0.30 * size, 0.48 * size)
        b = (0.46 * size, 0.66 * size)
        c = (0.72 * size, 0.30 * size)
        t = max(1.0, size / 14.0)
        return segment_distance(sx, sy, *a, *b) <= t or segment_distance(sx, sy, *b, *c) <= t

    for y in range(size):
        row, mask_row = [], []
        for x in range(size):
            if coverage(outer, x, y) < 0.5:
                row.append(0)
                mask_row.append(1)
                continue
            mask_row.append(0)
            if coverage(tick, x, y) >= 0.5:
                row.append(15)  # white
            elif coverage(inner, x, y) >= 0.5:
                row.append(12 if x < size / 2 else 4)  # blue | navy
            else:
                row.append(7 if y < size * 0.6 else 8)  # silver rim, grey below
        indices.append(row)
        mask.append(mask_row)
    return indices, mask


def ico_entry_bitmap(indices, mask):
    """A 4-bit DIB with its AND mask, as an icon resource stores it."""
    size = len(indices)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    for row in reversed(indices):  # bottom-up
        line = bytearray()
        for x in range(0, size, 2):
            line.append((row[x] << 4) | row[x + 1])
        xor += line + b"\x00" * (xor_stride - len(line))
    and_mask = bytearray()
    for row in reversed(mask):
        line = bytearray()
        for x in range(0, size, 8):
            byte = 0
            for bit in range(8):
                if x + bit < size and row[x + bit]:
                    byte |= 0x80 >> bit
            line.append(byte)
        and_mask += line + b"\x00" * (and_stride - len(line))
    return header + colours + bytes(xor) + bytes(and_mask)


# Sizes of the true-colour images: what Windows asks for at 100 % to 200 %
# (small icons 16 to 32, large ones 32 to 64), and 256 for Explorer's views.
ALPHA_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
# The 16-colour images, for Windows 2000 and XP on 16-colour screens.
VGA_SIZES = [32, 16]
# Drawn this many times larger, then reduced: the reduction averages the
# samples into smooth edges and partial alpha.
SUPERSAMPLE = 8


def shield_outline(left, top, width, height, steps=64):
    """The shield_inside() outline as polygon points, clockwise from the top
    left corner."""
    right_side = []
    for i in range(steps + 1):
        v = i / steps
        half = 0.5
        if v > 0.55:
            k = (v - 0.55) / 0.45
            half = 0.5 * math.sqrt(max(0.0, 1.0 - k * k))
        right_side.append((left + (0.5 + half) * width, top + v * height))
    top_edge = [(left + (0.5 + u) * width, top + 0.06 * (1.0 - (2.0 * u) ** 2) * height)
                for u in [j / steps - 0.5 for j in range(steps + 1)]]
    left_side = [(2 * left + width - x, y) for x, y in reversed(right_side)]
    return top_edge + right_side + left_side


def vertical_ramp(size, top_colour, bottom_colour):
    ramp = Image.new("RGBA", (1, size))
    for y in range(size):
        ramp.putpixel((0, y), mix(top_colour, bottom_colour, y / max(1, size - 1)) + (255,))
    return ramp.resize((size, size))


def alpha_icon(size):
    """The shield with its check mark at `size` pixels, RGBA. Strokes and the
    rim keep at least about one pixel at the smallest sizes."""
    big = size * SUPERSAMPLE
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    margin = big / 16.0
    width, height = big - 2 * margin, big - margin * 1.2
    outline = shield_outline(margin, margin * 0.4, width, height)
    # The rim: silver at the top, darker grey towards the point.
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).polygon(outline, fill=255)
    image.paste(vertical_ramp(big, (232, 236, 244), (120, 128, 144)), (0, 0), mask)
    # The face, two blues split down the middle, lighter towards the top.
    rim = max(big / 14.0, SUPERSAMPLE * 1.2)
    face = shield_outline(margin + rim, margin * 0.4 + rim, width - 2 * rim, height - 2.2 * rim)
    face_mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(face_mask).polygon(face, fill=255)
    left_half = vertical_ramp(big, (84, 140, 222), (30, 90, 190))
    right_half = vertical_ramp(big, (58, 98, 172), (20, 60, 140))
    left_half.paste(right_half.crop((big // 2, 0, big, big)), (big // 2, 0))
    image.paste(left_half, (0, 0), face_mask)
    # The white check mark.
    stroke = max(0.085 * big, SUPERSAMPLE * 1.6)
    points = [(0.29 * big, 0.50 * big), (0.45 * big, 0.67 * big), (0.73 * big, 0.31 * big)]
    ImageDraw.Draw(image).line(points, fill=(255, 255, 255, 255), width=int(round(stroke)),
                               joint="curve")
    resampling = getattr(Image, "Resampling", Image).BOX
    return image.resize((size, size), resampling)


def ico_alpha_bitmap(image):
    """A 32-bit DIB (BGRA, bottom-up) with its AND mask, as an icon stores
    it; Windows XP and later draw the alpha channel."""
    size = image.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = image.getpixel((x, y))
            pixels += bytes((b, g, r, a))
    and_stride = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for y in reversed(range(size)):
        line = bytearray(and_stride)
        for x in range(size):
            if image.getpixel((x, y))[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        and_mask += line
    return header + bytes(pixels) + bytes(and_mask)


def ico_png(image):
    data = io.BytesIO()
    image.save(data, format="PNG", optimize=True)
    return data.getvalue()


def write_ico(path):
    # (size, bits per pixel, colour count, image data), largest last so that
    # programs that take the first image get a small one.
    entries = []
    for size in VGA_SIZES:
        entries.append((size, 4, 16, ico_entry_bitmap(*icon_image(size))))
    for size in ALPHA_SIZES:
        image = alpha_icon(size)
        data = ico_png(image) if size >= 256 else ico_alpha_bitmap(image)
        entries.append((size, 32, 0, data))
    header = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, bits, colours, data in entries:
        # A size of 256 is written as 0.
        header += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data),
                              offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + b"".join(data for _, _, _, data in entries))


def status_tile(base, symbol):
    """A 25 x 25 tile in `base` colour with a white check mark or cross."""
    size = 25
    image = blank(size, size, base)
    dark = mix(base, (0, 0, 0), 0.45)
    light = mix(base, (255, 255, 255), 0.35)
    for y in range(size):
        for x in range(size):
            t = (x + y) / (2.0 * (size - 1))
            image[y][x] = mix(light, base, min(1.0, t * 1.6))
            if x == 0 or y == 0 or x == size - 1 or y == size - 1:
                image[y][x] = dark
    if symbol == "check":
        strokes = [((6.5, 12.5), (10.5, 17.0)), ((10.5, 17.0), (18.5, 7.5))]
    else:
        strokes = [((7.5, 7.5), (17.5, 17.5)), ((17.5, 7.5), (7.5, 17.5))]

    def inside(sx, sy):
        return any(segment_distance(sx, sy, *a, *b) <= 1.6 for a, b in strokes)

    for y in range(1, size - 1):
        for x in range(1, size - 1):
            c = coverage(inside, x, y)
            if c > 0:
                image[y][x] = mix(image[y][x], (255, 255, 255), c)
    return quantise(image, 256)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res")
    os.makedirs(out, exist_ok=True)
    for dpi in BANNER_DPIS:
        palette, indices = banner(dpi)
        write_bmp(os.path.join(out, "banner-%d.bmp" % dpi), palette, indices)
    write_ico(os.path.join(out, "quellnet.ico"))
    palette, indices = status_tile((30, 150, 50), "check")
    write_gif(os.path.join(out, "green.gif"), palette, indices)
    palette, indices = status_tile((200, 30, 30), "cross")
    write_gif(os.path.join(out, "red.gif"), palette, indices)


if __name__ == "__main__":
    main()
