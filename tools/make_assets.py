# Generates assets/Tessivane.ico, assets/HAND-M.CUR and assets/Crosshair.cur deterministically
# (stdlib only).
import math
import os
import struct
import zlib

ASSETS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets"))

# ---------------------------------------------------------------- geometry (signed distances)


def rounded_box(x0, y0, x1, y1, r_top, r_bottom=None):
    """Axis-aligned box with separate top/bottom corner radii."""
    r_bottom = r_top if r_bottom is None else r_bottom
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def sdf(x, y):
        r = r_top if y < cy else r_bottom
        qx, qy = abs(x - cx) - hx + r, abs(y - cy) - hy + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r), (cx - r, cy - r, cx + r, cy + r)


def ring(cx, cy, r, w):
    return (lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - w / 2), \
        (cx - r - w, cy - r - w, cx + r + w, cy + r + w)


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1.0

    def sdf(x, y):
        t = min(max(((x - ax) * dx + (y - ay) * dy) / ll, 0.0), 1.0)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return sdf, (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)


# ---------------------------------------------------------------- icon painting


class Canvas:
    """Premultiplied float RGBA canvas; shapes are given in pixel units."""

    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, rgb, alpha=1.0, soft=1.0):
        sdf, (x0, y0, x1, y1) = shape
        pad = soft + 1
        n = self.size
        r, g, b = (c / 255.0 for c in rgb)
        for y in range(max(0, int(y0 - pad)), min(n, int(y1 + pad) + 1)):
            for x in range(max(0, int(x0 - pad)), min(n, int(x1 + pad) + 1)):
                cov = min(max(0.5 - sdf(x + 0.5, y + 0.5) / soft, 0.0), 1.0)
                a = cov * alpha
                if a <= 0.0:
                    continue
                p = self.px[y * n + x]
                k = 1.0 - a
                p[0], p[1], p[2], p[3] = r * a + p[0] * k, g * a + p[1] * k, b * a + p[2] * k, a + p[3] * k

    def rgba(self):
        """Rows top-down of straight (r, g, b, a) byte tuples."""
        out = []
        for p in self.px:
            a = p[3]
            if a < 1 / 510:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(min(255, round(c / a * 255)) for c in p[:3]) + (round(a * 255),))
        n = self.size
        return [out[i * n:(i + 1) * n] for i in range(n)]


def snap(p, width):
    """Place a stroke centre so a stroke of whole-pixel width lands on the pixel grid."""
    return math.floor(p) + 0.5 if width % 2 else round(p)


def draw_icon(size, with_shadow):
    """Window frame with text lines and a magnifying glass; all lengths in pixels."""
    c, s = Canvas(size), size
    x0, y0, x1, y1 = (round(v * s) for v in (0.05, 0.08, 0.89, 0.84))
    rad, bw, title_b = 0.10 * s, max(1, round(0.03 * s)), round(0.25 * s)
    if with_shadow:
        off = 0.025 * s
        c.fill(rounded_box(x0 + off, y0 + off, x1 + off, y1 + off, rad),
               (0, 0, 0), 0.30, soft=max(1.0, 0.04 * s))
    c.fill(rounded_box(x0, y0, x1, y1, rad), (0x1B, 0x45, 0x86))
    c.fill(rounded_box(x0 + bw, y0 + bw, x1 - bw, title_b + 1, rad - bw, 0), (0x2F, 0x7D, 0xE1))
    c.fill(rounded_box(x0 + bw, title_b, x1 - bw, y1 - bw, 0, rad - bw), (0xFF, 0xFF, 0xFF))
    dot_pitch, dot_y = max(3, round(0.075 * s)), (y0 + title_b) // 2 + 0.5
    for i in range(3):
        c.fill(circle(x1 - round(0.09 * s) + 0.5 - dot_pitch * i, dot_y, max(0.6, 0.022 * s)),
               (0xD9, 0xE8, 0xFB))
    thick, pitch = max(1, round(0.045 * s)), round(0.095 * s)
    top = snap(0.34 * s, thick)
    for i, length in enumerate((0.62, 0.48, 0.56, 0.40, 0.30)):
        y = top + pitch * i
        c.fill(capsule(0.14 * s, y, (0.14 + length) * s, y, thick / 2), (0x37, 0x42, 0x4F))
    gx, gy, gr, gw = 0.66 * s, 0.66 * s, 0.165 * s, max(1.5, 0.055 * s)
    c.fill(circle(gx, gy, gr), (0xBF, 0xE0, 0xFF), 0.45)
    c.fill(circle(gx - 0.4 * gr, gy - 0.4 * gr, max(0.7, 0.2 * gr)), (0xFF, 0xFF, 0xFF), 0.8)
    c.fill(capsule(gx + 0.74 * gr, gy + 0.74 * gr, 0.93 * s, 0.93 * s, gw), (0x26, 0x2A, 0x30))
    c.fill(ring(gx, gy, gr, gw), (0x26, 0x2A, 0x30))
    return c.rgba()


# ---------------------------------------------------------------- icon encoding


def bmp_header(size, bpp, image_bytes, colors=0):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, image_bytes, 0, 0, colors, 0)


def and_mask(rows, opaque):
    stride = ((len(rows) + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if not opaque(px):
                bits[x >> 3] |= 0x80 >> (x & 7)
        out += bits
    return bytes(out)


def dib_entry(rows, bpp):
    if bpp == 24:
        opaque = lambda p: p[3] >= 128  # noqa: E731
        xor = b"".join(bytes(b for p in row for b in ((p[2], p[1], p[0]) if opaque(p) else (0, 0, 0)))
                       for row in reversed(rows))
    else:
        opaque = lambda p: p[3] > 0  # noqa: E731
        xor = b"".join(bytes(b for p in row for b in (p[2], p[1], p[0], p[3])) for row in reversed(rows))
    return bmp_header(len(rows), bpp, len(xor)) + xor + and_mask(rows, opaque)


def png_entry(rows):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    raw = b"".join(b"\x00" + bytes(b for p in row for b in p) for row in rows)
    ihdr = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def build_ico():
    images = []
    for size, bpp in ((32, 24), (48, 32), (128, 32), (256, 32)):
        rows = draw_icon(size, with_shadow=bpp == 32)
        data = png_entry(rows) if size == 256 else dib_entry(rows, bpp)
        images.append((size, bpp, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


# ---------------------------------------------------------------- cursor

# Hand parts in 32x32 pixel space; later parts are drawn over earlier ones.
# Outlines are drawn where a part meets the outside or a part it must stay apart from.
HAND_PARTS = [
    ("palm", rounded_box(8.0, 15.0, 27.0, 29.0, 4.0, 3.5)),
    ("thumb", capsule(4.5, 17.0, 9.5, 23.5, 2.7)),
    ("pinky", rounded_box(22.0, 15.0, 27.0, 21.0, 2.5)),
    ("ring", rounded_box(17.5, 13.0, 22.5, 20.0, 2.5)),
    ("middle", rounded_box(13.0, 12.0, 18.0, 20.0, 2.5)),
    ("index", rounded_box(8.0, 1.0, 14.0, 19.0, 3.0, 0.0)),
]
HAND_MERGED = {frozenset(("palm", f)) for f in ("thumb", "index", "middle", "ring", "pinky")}
HAND_HOTSPOT = (10, 1)


def hand_pixels():
    """Returns a 32x32 grid of None (transparent), 'black' or 'white'."""
    label = [[None] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            for name, (sdf, _) in HAND_PARTS:
                if sdf(x + 0.5, y + 0.5) <= 0.0:
                    label[y][x] = name
    order = [name for name, _ in HAND_PARTS]
    grid = [[None] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            me = label[y][x]
            if me is None:
                continue
            edge = False
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                other = label[ny][nx] if 0 <= nx < 32 and 0 <= ny < 32 else None
                if other is None:
                    edge = True
                elif (other != me and frozenset((me, other)) not in HAND_MERGED
                      and order.index(other) < order.index(me)):
                    edge = True
            grid[y][x] = "black" if edge else "white"
    return grid


# The picking pointer: a ring around a cross whose arms stop short of the hotspot, so the pixel
# being pointed at stays in sight; black strokes edged in white show on any background.
CROSS_CENTRE = 15
CROSS_ARM = (2, 29)
CROSS_GAP = 3
CROSS_RING = (ring(CROSS_CENTRE + 0.5, CROSS_CENTRE + 0.5, 7.0, 1.0)[0])


def crosshair_pixels():
    """Returns a 32x32 grid of None (transparent), 'black' or 'white'."""
    c = CROSS_CENTRE
    black = set()
    for t in range(CROSS_ARM[0], CROSS_ARM[1] + 1):
        if abs(t - c) > CROSS_GAP:
            black.update({(t, c), (c, t)})
    black.add((c, c))
    for y in range(32):
        for x in range(32):
            if CROSS_RING(x + 0.5, y + 0.5) <= 0.0:
                black.add((x, y))
    grid = [[None] * 32 for _ in range(32)]
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= x + dx < 32 and 0 <= y + dy < 32:
                    grid[y + dy][x + dx] = "white"
    for x, y in black:
        grid[y][x] = "black"
    return grid


def build_cur(grid, hotspot):
    xor, andm = bytearray(), bytearray()
    for row in reversed(grid):
        xbits, abits = bytearray(4), bytearray(4)
        for x, px in enumerate(row):
            bit = 0x80 >> (x & 7)
            if px is None:
                abits[x >> 3] |= bit
            elif px == "white":
                xbits[x >> 3] |= bit
        xor += xbits
        andm += abits
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = bmp_header(32, 1, len(xor), colors=2) + palette + xor + andm
    hx, hy = hotspot
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, hx, hy, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def main():
    os.makedirs(ASSETS, exist_ok=True)
    for name, data in (("Tessivane.ico", build_ico()),
                       ("HAND-M.CUR", build_cur(hand_pixels(), HAND_HOTSPOT)),
                       ("Crosshair.cur", build_cur(crosshair_pixels(), (CROSS_CENTRE, CROSS_CENTRE)))):
        with open(os.path.join(ASSETS, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
