#!/usr/bin/env python3
"""Draw Relaydeck's pictures procedurally and write them into assets/.

Produces:
  splash-mast.png    150 x 200 antenna mast at dusk for the startup dialog
  relaydeck.png      32 x 32 program icon (screen with grid and sine wave)
  relaydeck-256.png  the same icon drawn at 256 x 256
  relaydeck.ico      Windows icon holding the 32 x 32 and 256 x 256 images

Only the Python standard library is used; PNG and ICO files are encoded here.
All randomness comes from fixed seeds, so every run gives identical bytes.
"""

import math
import random
import struct
import sys
import zlib
from pathlib import Path

ASSETS = Path(__file__).resolve().parent.parent / "assets"


# ---------------------------------------------------------------------------
# Small helpers
# ---------------------------------------------------------------------------


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def gradient(stops, t):
    """Colour at t from a list of (position, (r, g, b)) stops, smoothly eased."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, smoothstep(p0, p1, t))
    return stops[-1][1]


class ValueNoise:
    """Deterministic lattice value noise in one and two dimensions."""

    def __init__(self, seed):
        rng = random.Random(seed)
        self.perm = list(range(256))
        rng.shuffle(self.perm)
        self.perm += self.perm
        self.vals = [rng.random() for _ in range(256)]

    def _v(self, i, j=0):
        return self.vals[self.perm[(self.perm[i & 255] + j) & 255]]

    def noise1(self, x):
        i = math.floor(x)
        f = x - i
        f = f * f * (3 - 2 * f)
        return lerp(self._v(i), self._v(i + 1), f)

    def noise2(self, x, y):
        i, j = math.floor(x), math.floor(y)
        fx, fy = x - i, y - j
        fx = fx * fx * (3 - 2 * fx)
        fy = fy * fy * (3 - 2 * fy)
        a = lerp(self._v(i, j), self._v(i + 1, j), fx)
        b = lerp(self._v(i, j + 1), self._v(i + 1, j + 1), fx)
        return lerp(a, b, fy)

    def fbm1(self, x, octaves=5):
        total, amp, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.noise1(x)
            norm += amp
            amp *= 0.5
            x *= 2.03
        return total / norm

    def fbm2(self, x, y, octaves=5):
        total, amp, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.noise2(x, y)
            norm += amp
            amp *= 0.5
            x *= 2.01
            y *= 2.07
        return total / norm


# ---------------------------------------------------------------------------
# Canvas and coverage masks
# ---------------------------------------------------------------------------


class Canvas:
    """RGBA image with float channels (colour 0..255, alpha 0..1)."""

    def __init__(self, width, height, colour=(0, 0, 0), alpha=0.0):
        self.w, self.h = width, height
        self.rgb = [list(colour) for _ in range(width * height)]
        self.a = [alpha] * (width * height)

    def set(self, x, y, colour):
        i = y * self.w + x
        self.rgb[i] = list(colour)
        self.a[i] = 1.0

    def blend(self, i, colour, alpha):
        if alpha <= 0.0:
            return
        da = self.a[i]
        oa = alpha + da * (1.0 - alpha)
        d = self.rgb[i]
        k = da * (1.0 - alpha)
        self.rgb[i] = [(c * alpha + dc * k) / oa for c, dc in zip(colour, d)]
        self.a[i] = oa

    def add(self, i, colour, amount):
        d = self.rgb[i]
        self.rgb[i] = [dc + c * amount for c, dc in zip(colour, d)]

    def paint(self, mask, colour, alpha=1.0):
        """Blend a solid colour through a coverage mask."""
        for i, c in enumerate(mask.c):
            if c > 0.0:
                self.blend(i, colour, c * alpha)

    def paint_fn(self, mask, colour_at, alpha=1.0):
        """Blend a colour computed per pixel through a coverage mask."""
        for i, c in enumerate(mask.c):
            if c > 0.0:
                self.blend(i, colour_at(i % self.w, i // self.w), c * alpha)

    def to_rgba_bytes(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                i = y * self.w + x
                r, g, b = self.rgb[i]
                a = self.a[i]
                row += bytes(
                    (
                        int(clamp(round(r), 0, 255)),
                        int(clamp(round(g), 0, 255)),
                        int(clamp(round(b), 0, 255)),
                        int(clamp(round(a * 255), 0, 255)),
                    )
                )
            rows.append(bytes(row))
        return rows


class Mask:
    """Coverage buffer; shapes merge by maximum so overlaps do not darken."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.c = [0.0] * (width * height)

    def put(self, x, y, v):
        if 0 <= x < self.w and 0 <= y < self.h and v > 0.0:
            i = y * self.w + x
            if v > self.c[i]:
                self.c[i] = min(v, 1.0)

    def _box(self, x0, y0, x1, y1):
        return (
            max(0, int(math.floor(x0))),
            max(0, int(math.floor(y0))),
            min(self.w - 1, int(math.ceil(x1))),
            min(self.h - 1, int(math.ceil(y1))),
        )

    def line(self, x0, y0, x1, y1, width, alpha=1.0):
        """Anti-aliased stroke with round caps; coordinates are continuous."""
        r = width / 2.0
        if width < 1.0:
            alpha *= width
            r = 0.5
        bx0, by0, bx1, by1 = self._box(
            min(x0, x1) - r - 1, min(y0, y1) - r - 1, max(x0, x1) + r + 1, max(y0, y1) + r + 1
        )
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy
        for py in range(by0, by1 + 1):
            cy = py + 0.5
            for px in range(bx0, bx1 + 1):
                cx = px + 0.5
                if ll == 0:
                    t = 0.0
                else:
                    t = clamp(((cx - x0) * dx + (cy - y0) * dy) / ll)
                ex, ey = cx - (x0 + t * dx), cy - (y0 + t * dy)
                d = math.sqrt(ex * ex + ey * ey)
                self.put(px, py, clamp(r + 0.5 - d) * alpha)

    def polyline(self, pts, width, alpha=1.0):
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            self.line(x0, y0, x1, y1, width, alpha)

    def polygon(self, pts, alpha=1.0, ss=4):
        """Anti-aliased polygon fill (even-odd) by supersampling."""
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        bx0, by0, bx1, by1 = self._box(min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1)
        edges = list(zip(pts, pts[1:] + pts[:1]))
        offs = [(k + 0.5) / ss for k in range(ss)]
        for py in range(by0, by1 + 1):
            for px in range(bx0, bx1 + 1):
                hits = 0
                for oy in offs:
                    sy = py + oy
                    for ox in offs:
                        sx = px + ox
                        inside = False
                        for (ax, ay), (bx, by) in edges:
                            if (ay > sy) != (by > sy):
                                if sx < ax + (sy - ay) * (bx - ax) / (by - ay):
                                    inside = not inside
                        hits += inside
                self.put(px, py, hits / (ss * ss) * alpha)

    def below(self, height_at, ss=4):
        """Fill everything below the curve y = height_at(x)."""
        offs = [(k + 0.5) / ss for k in range(ss)]
        for px in range(self.w):
            hs = [height_at(px + o) for o in offs]
            for py in range(self.h):
                cov = sum(clamp(py + 1 - h) for h in hs) / ss
                self.put(px, py, cov)

    def sdf(self, dist_at, box=None):
        """Fill where a signed distance (in pixels, negative inside) is below 0."""
        bx0, by0, bx1, by1 = box if box else (0, 0, self.w - 1, self.h - 1)
        for py in range(by0, by1 + 1):
            for px in range(bx0, bx1 + 1):
                self.put(px, py, clamp(0.5 - dist_at(px + 0.5, py + 0.5)))


def rounded_box_sdf(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def dist(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return dist


# ---------------------------------------------------------------------------
# File encoders
# ---------------------------------------------------------------------------


def png_bytes(width, height, rows):
    """Encode 8-bit RGBA rows as a PNG file."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", ihdr)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def ico_bmp_image(width, height, rows):
    """Classic 32-bit DIB icon image (bottom-up BGRA plus an AND mask)."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for r in reversed(rows):
        for x in range(width):
            cr, cg, cb, ca = r[4 * x : 4 * x + 4]
            pixels += bytes((cb, cg, cr, ca))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for r in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if r[4 * x + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(images):
    """Build an ICO from (size, payload) pairs; payload is BMP or PNG data."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return out + entries + blobs


# ---------------------------------------------------------------------------
# Splash picture: lattice mast at dusk
# ---------------------------------------------------------------------------

SKY_STOPS = [
    (0.00, (9, 13, 40)),
    (0.30, (20, 33, 86)),
    (0.55, (58, 58, 124)),
    (0.72, (132, 82, 122)),
    (0.84, (214, 112, 88)),
    (0.93, (246, 150, 72)),
    (1.00, (255, 190, 110)),
]

SILHOUETTE = (11, 9, 19)


def draw_splash():
    w, h = 150, 200
    horizon = 158.0
    noise = ValueNoise(7)
    rng = random.Random(1977)
    cv = Canvas(w, h, alpha=1.0)
    sun_x, sun_y = 104.0, horizon + 6.0

    # Sky with a warm glow where the sun has just set.
    for y in range(h):
        t = (y + 0.5) / horizon
        base = gradient(SKY_STOPS, t)
        for x in range(w):
            dx = (x + 0.5 - sun_x) / 62.0
            dy = (y + 0.5 - sun_y) / 34.0
            glow = math.exp(-(dx * dx + dy * dy))
            c = mix(base, (255, 206, 140), 0.55 * glow)
            cv.set(x, y, c)

    # Thin stratus bands, dark above and lit from below near the horizon.
    for y in range(int(horizon)):
        t = (y + 0.5) / horizon
        band = smoothstep(0.45, 0.62, t) * (1.0 - smoothstep(0.88, 0.97, t))
        if band <= 0.0:
            continue
        for x in range(w):
            n = noise.fbm2(x / 38.0 + 3.1, y / 3.2, 5)
            d = smoothstep(0.52, 0.74, n) * band
            if d <= 0.0:
                continue
            lit = smoothstep(0.55, 0.92, t)
            dark = (52, 38, 78)
            bright = (255, 150, 120)
            c = mix(dark, bright, lit)
            cv.blend(y * w + x, c, d * 0.75)

    # Stars, fading out as the sky brightens.
    for _ in range(46):
        sx = rng.uniform(2, w - 2)
        sy = rng.uniform(2, horizon * 0.55)
        fade = 1.0 - smoothstep(0.05, 0.55, sy / horizon)
        mag = rng.random() ** 2.2
        bright = (0.35 + 0.65 * mag) * fade
        tint = rng.choice(((255, 250, 235), (220, 230, 255), (255, 235, 210)))
        fx, fy = sx - 0.5, sy - 0.5
        ix, iy = int(math.floor(fx)), int(math.floor(fy))
        ox, oy = fx - ix, fy - iy
        for px, py, wgt in (
            (ix, iy, (1 - ox) * (1 - oy)),
            (ix + 1, iy, ox * (1 - oy)),
            (ix, iy + 1, (1 - ox) * oy),
            (ix + 1, iy + 1, ox * oy),
        ):
            if 0 <= px < w and 0 <= py < h:
                cv.blend(py * w + px, tint, clamp(wgt * bright * 1.6))

    # Young crescent moon, lit from the sun below the horizon.
    moon_x, moon_y, moon_r = 121.0, 36.0, 4.6
    for y in range(int(moon_y - 14), int(moon_y + 15)):
        for x in range(int(moon_x - 14), int(moon_x + 15)):
            d = math.hypot(x + 0.5 - moon_x, y + 0.5 - moon_y)
            cv.add(y * w + x, (120, 130, 170), 0.12 * math.exp(-(d * d) / 40.0))
    for y in range(int(moon_y - moon_r - 2), int(moon_y + moon_r + 3)):
        for x in range(int(moon_x - moon_r - 2), int(moon_x + moon_r + 3)):
            lit = 0.0
            for oy in (0.25, 0.75):
                for ox in (0.25, 0.75):
                    px, py = x + ox, y + oy
                    disc = math.hypot(px - moon_x, py - moon_y) < moon_r
                    shadow = math.hypot(px - moon_x + 2.3, py - moon_y + 1.9) < moon_r * 0.98
                    lit += 0.25 if disc and not shadow else 0.0
            cv.blend(y * w + x, (255, 244, 214), lit * 0.95)

    # Far ridge in haze, then the near hill the mast stands on.
    far = Mask(w, h)
    far.below(lambda x: horizon - 4.0 - 9.0 * noise.fbm1(x / 34.0 + 11.0, 5) + 4.0 * math.sin(x / 40.0))
    far_col = (104, 66, 104)
    cv.paint_fn(far, lambda x, y: mix(far_col, (66, 44, 80), smoothstep(horizon - 14, horizon + 14, y)))

    mid = Mask(w, h)
    mid.below(lambda x: horizon + 7.0 - 8.0 * noise.fbm1(x / 22.0 + 40.0, 5) + 3.0 * math.cos(x / 27.0))
    mid_col = (54, 36, 64)
    cv.paint_fn(mid, lambda x, y: mix(mid_col, (34, 24, 46), smoothstep(horizon - 4, horizon + 22, y)))

    mast_x = 58.0

    def near_height(x):
        hill = 182.0 - 20.0 * math.exp(-(((x - mast_x) / 46.0) ** 2))
        return hill + 5.0 * (noise.fbm1(x / 14.0 + 80.0, 4) - 0.5)

    near = Mask(w, h)
    near.below(near_height)

    # Grass tufts along the ridge line.
    for _ in range(150):
        gx = rng.uniform(0, w)
        gy = near_height(gx) + 0.6
        tall = rng.uniform(1.0, 3.2)
        lean = rng.uniform(-0.9, 0.9)
        near.line(gx, gy, gx + lean, gy - tall, 0.45)

    # Conifers on the right shoulder of the hill.
    trees = (
        (112.0, 15.0),
        (119.0, 21.0),
        (125.0, 13.0),
        (131.0, 18.0),
        (139.0, 24.0),
        (146.0, 16.0),
        (8.0, 11.0),
        (14.0, 14.0),
    )
    for tx, th in trees:
        base = near_height(tx) + 2.0
        top = base - th
        half = th * 0.24
        pts = [(tx, top)]
        tiers = 4
        for k in range(1, tiers + 1):
            yy = top + (base - top) * k / tiers
            ww = half * (0.45 + 0.55 * k / tiers)
            pts.append((tx + ww, yy))
            if k < tiers:
                pts.append((tx + ww * 0.45, yy - 0.2))
        left = [(2 * tx - px, py) for px, py in reversed(pts[1:])]
        near.polygon(pts + left)
        near.line(tx, base - 1, tx, base + 2, 1.0)

    # The lattice mast.
    ground = near_height(mast_x) + 1.5
    top_y = 46.0
    base_half, top_half = 6.2, 1.5
    sections = 12

    def half_at(y):
        return lerp(base_half, top_half, (ground - y) / (ground - top_y))

    mast = Mask(w, h)
    mast.line(mast_x - base_half, ground, mast_x - top_half, top_y, 1.15)
    mast.line(mast_x + base_half, ground, mast_x + top_half, top_y, 1.15)
    mast.line(mast_x, ground, mast_x, top_y, 0.55, 0.8)
    ys = [ground]
    y = ground
    step = (ground - top_y) / sum(0.93**k for k in range(sections))
    for k in range(sections):
        y -= step * 0.93**k
        ys.append(y)
    for ya, yb in zip(ys, ys[1:]):
        ha, hb = half_at(ya), half_at(yb)
        mast.line(mast_x - ha, ya, mast_x + hb, yb, 0.6)
        mast.line(mast_x + ha, ya, mast_x - hb, yb, 0.6)
        mast.line(mast_x - hb, yb, mast_x + hb, yb, 0.75)
    # Platform below the antennas.
    mast.line(mast_x - 4.0, top_y, mast_x + 4.0, top_y, 1.3)
    mast.line(mast_x - 4.0, top_y - 2.2, mast_x + 4.0, top_y - 2.2, 0.6)
    for px in (-4.0, 0.0, 4.0):
        mast.line(mast_x + px, top_y, mast_x + px, top_y - 2.2, 0.6)
    # Top pipe and the fibreglass collinear on it.
    mast.line(mast_x, top_y, mast_x, 19.0, 1.2)
    mast.line(mast_x, 19.0, mast_x, 5.0, 1.6)
    mast.line(mast_x, 5.0, mast_x, 3.2, 0.8)

    def yagi(y_boom, x_from, x_to, elements, lengths):
        mast.line(x_from, y_boom, x_to, y_boom, 0.9)
        for k in range(elements):
            ex = lerp(x_from, x_to, k / (elements - 1))
            half_len = lengths[k] / 2.0
            mast.line(ex, y_boom - half_len, ex, y_boom + half_len, 0.6)

    yagi(30.0, mast_x + 1.0, mast_x + 19.0, 6, [9.5, 8.6, 7.8, 7.4, 7.0, 6.6])
    yagi(39.0, mast_x - 1.0, mast_x - 15.0, 5, [9.5, 8.6, 7.8, 7.3, 6.8])
    # Side-mounted dipole on a stand-off arm, lower down.
    arm_y = ys[4]
    arm_x0 = mast_x + half_at(arm_y)
    mast.line(arm_x0, arm_y, arm_x0 + 6.0, arm_y, 0.8)
    mast.line(arm_x0 + 6.0, arm_y - 7.0, arm_x0 + 6.0, arm_y + 5.0, 0.9)

    # Equipment shelter next to the foot of the mast.
    hut_x0, hut_x1 = mast_x + 10.0, mast_x + 25.0
    hut_base = max(near_height(hut_x0), near_height(hut_x1)) + 1.5
    wall, roof = hut_base - 8.0, hut_base - 9.2
    mast.polygon(
        [
            (hut_x0, hut_base),
            (hut_x0, wall),
            (hut_x0 - 0.8, wall),
            (hut_x0 - 0.8, roof),
            (hut_x1 + 0.8, roof),
            (hut_x1 + 0.8, wall),
            (hut_x1, wall),
            (hut_x1, hut_base),
        ]
    )
    mast.line(mast_x + half_at(hut_base - 6.5), hut_base - 6.5, hut_x0, hut_base - 6.5, 0.7)

    # Guy wires, barely visible against the sky.
    guys = Mask(w, h)
    for gy in (ys[3], ys[8]):
        for side, anchor in ((-1, mast_x - 46.0), (1, mast_x + 44.0)):
            guys.line(mast_x + side * half_at(gy), gy, anchor, near_height(anchor) + 1.0, 0.35)

    cv.paint(guys, (20, 16, 30), 0.8)
    def near_colour(x, y):
        ridge = near_height(x + 0.5)
        return mix((22, 16, 32), SILHOUETTE, smoothstep(ridge, ridge + 10, y))

    cv.paint_fn(near, near_colour)
    cv.paint(mast, SILHOUETTE)

    # A lit window on the shelter.
    for wx in range(int(hut_x0 + 9), int(hut_x0 + 11)):
        wy = int(hut_base - 5)
        cv.blend(wy * w + wx, (255, 196, 110), 0.55)

    # Red obstruction lights with soft halos.
    for lx, ly, power in ((mast_x, 18.6, 1.0), (mast_x - half_at(ys[6]) - 0.4, ys[6], 0.55)):
        for y in range(max(0, int(ly - 9)), min(h, int(ly + 10))):
            for x in range(max(0, int(lx - 9)), min(w, int(lx + 10))):
                d2 = (x + 0.5 - lx) ** 2 + (y + 0.5 - ly) ** 2
                halo = power * (0.55 * math.exp(-d2 / 7.0) + 0.18 * math.exp(-d2 / 30.0))
                cv.add(y * w + x, (255, 40, 28), halo)
                core = power * clamp(1.3 - math.sqrt(d2))
                cv.blend(y * w + x, (255, 120, 100), core)

    # Photographic finish: soft vignette and luminance grain.
    grain = random.Random(424242)
    for y in range(h):
        for x in range(w):
            i = y * w + x
            nx, ny = (x + 0.5) / w - 0.5, (y + 0.5) / h - 0.5
            vig = 1.0 - 0.32 * (nx * nx + ny * ny) * 2.2
            g = grain.gauss(0.0, 1.0)
            lum = sum(cv.rgb[i]) / 3.0
            amp = 1.3 + 1.8 * (1.0 - lum / 255.0)
            cv.rgb[i] = [c * vig + g * amp for c in cv.rgb[i]]

    return cv


# ---------------------------------------------------------------------------
# Program icon: oscilloscope screen with grid and sine wave
# ---------------------------------------------------------------------------


def draw_icon(size):
    s = size / 32.0
    cv = Canvas(size, size)

    def sdf_mask(x0, y0, x1, y1, radius):
        m = Mask(size, size)
        d = rounded_box_sdf(x0 * s, y0 * s, x1 * s, y1 * s, radius * s)
        m.sdf(d)
        return m

    def vertical(c_top, c_bottom, y0, y1):
        return lambda x, y: mix(c_top, c_bottom, clamp((y + 0.5 - y0 * s) / ((y1 - y0) * s)))

    # Soft drop shadow at large sizes only.
    if size >= 64:
        shadow = Mask(size, size)
        d = rounded_box_sdf(2.0 * s, 3.2 * s, 31.4 * s, 31.4 * s, 4.0 * s)
        blur = 0.9 * s
        for py in range(size):
            for px in range(size):
                shadow.put(px, py, 0.35 * clamp(0.5 - d(px + 0.5, py + 0.5) / blur))
        cv.paint(shadow, (0, 0, 0))

    # Stand: neck and foot.
    neck = Mask(size, size)
    neck.polygon([(13.0 * s, 24.0 * s), (19.0 * s, 24.0 * s), (20.0 * s, 28.5 * s), (12.0 * s, 28.5 * s)])
    cv.paint_fn(neck, vertical((70, 76, 88), (120, 126, 138), 24.0, 28.5))
    foot = sdf_mask(7.0, 27.5, 25.0, 31.0, 1.5)
    cv.paint(foot, (38, 42, 52))
    px1 = 1.0 / s  # one output pixel in icon units
    foot_in = sdf_mask(7.0 + px1, 27.5 + px1, 25.0 - px1, 31.0 - px1, max(0.5, 1.5 - px1))
    cv.paint_fn(foot_in, vertical((178, 184, 196), (108, 114, 128), 27.5, 31.0))

    # Bezel: dark outline, light-to-dark body.
    outer = sdf_mask(0.0, 1.0, 32.0, 26.0, 3.5)
    cv.paint(outer, (34, 38, 48))
    body = sdf_mask(1.0, 2.0, 31.0, 25.0, 2.5)
    cv.paint_fn(body, vertical((214, 219, 228), (118, 124, 138), 2.0, 25.0))
    # A brighter top edge gives the bezel some depth.
    if size >= 64:
        rim = Mask(size, size)
        rim.line(3.0 * s, 2.6 * s, 29.0 * s, 2.6 * s, 0.5 * s)
        cv.paint(rim, (244, 246, 250), 0.7)

    # Screen recess and the CRT face.
    recess = sdf_mask(3.0, 4.0, 29.0, 22.0, 1.5)
    cv.paint(recess, (42, 46, 56))
    sx0, sy0, sx1, sy1 = 4.0, 5.0, 28.0, 21.0
    face = sdf_mask(sx0, sy0, sx1, sy1, 1.0)
    cx, cy = (sx0 + sx1) / 2.0 * s, (sy0 + sy1) / 2.0 * s

    def face_colour(x, y):
        dx = (x + 0.5 - cx) / (12.0 * s)
        dy = (y + 0.5 - cy) / (8.0 * s)
        return mix((16, 52, 30), (4, 14, 9), clamp(math.sqrt(dx * dx + dy * dy) * 0.85))

    cv.paint_fn(face, face_colour)

    # Graticule, clipped to the face; the centre axes are brighter.
    # At 32 pixels the lines sit on pixel centres so they stay crisp.
    small = size <= 32
    snap = 0.5 if small else 0.0
    lw = 1.0 if small else 0.55 * s
    grid = Mask(size, size)
    axes = Mask(size, size)
    for gx in (8.0, 12.0, 20.0, 24.0):
        grid.line((gx + snap) * s, sy0 * s, (gx + snap) * s, sy1 * s, lw)
    for gy in (9.0, 17.0):
        grid.line(sx0 * s, (gy + snap) * s, sx1 * s, (gy + snap) * s, lw)
    axes.line((16.0 + snap) * s, sy0 * s, (16.0 + snap) * s, sy1 * s, lw)
    axes.line(sx0 * s, (13.0 + snap) * s, sx1 * s, (13.0 + snap) * s, lw)
    if not small:
        for tx in range(5, 28):
            axes.line(tx * s, 12.6 * s, tx * s, 13.4 * s, 0.3 * s)
        for ty in range(6, 21):
            axes.line(15.6 * s, ty * s, 16.4 * s, ty * s, 0.3 * s)
    for m in (grid, axes):
        for i in range(size * size):
            m.c[i] *= face.c[i]
    cv.paint(grid, (30, 150, 70), 0.6 if small else 0.8)
    cv.paint(axes, (60, 200, 100), 0.9)

    # The trace: a green glow under a white line.
    mid_y = 13.0 + snap
    pts = []
    steps = 160
    for k in range(steps + 1):
        x = lerp(sx0 + 0.6, sx1 - 0.6, k / steps)
        y = mid_y - 5.2 * math.sin(2.0 * math.pi * (x - sx0 - 0.6) / (sx1 - sx0 - 1.2) * 1.5)
        pts.append((x * s, y * s))
    halos = [(2.6, 0.3)] if small else [(3.0, 0.14), (2.1, 0.22)]
    for width, alpha in halos:
        glow = Mask(size, size)
        glow.polyline(pts, width * s)
        for i in range(size * size):
            glow.c[i] *= face.c[i]
        cv.paint(glow, (90, 255, 140), alpha)
    trace = Mask(size, size)
    trace.polyline(pts, (1.3 if small else 1.0) * s)
    for i in range(size * size):
        trace.c[i] *= face.c[i]
    cv.paint(trace, (250, 255, 250))

    # Glass reflection across the upper part of the face.
    sheen = Mask(size, size)
    sheen.polygon([(sx0 * s, sy0 * s), (20.0 * s, sy0 * s), (11.0 * s, 11.0 * s), (sx0 * s, 13.0 * s)])
    for i in range(size * size):
        sheen.c[i] *= face.c[i]
    cv.paint(sheen, (255, 255, 255), 0.07)

    # Power lamp and two knobs on the bezel's lower edge.
    lamp = Mask(size, size)
    lamp.line(26.5 * s, 23.5 * s, 26.5 * s, 23.5 * s, 1.4 * s)
    cv.paint(lamp, (60, 255, 110))
    for kx in (5.5, 8.5):
        knob = Mask(size, size)
        knob.line(kx * s, 23.5 * s, kx * s, 23.5 * s, 1.6 * s)
        cv.paint(knob, (58, 62, 74))
    return cv


# ---------------------------------------------------------------------------


def write(path, data):
    path.write_bytes(data)
    print(f"wrote {path} ({len(data)} bytes)")


def main():
    ASSETS.mkdir(parents=True, exist_ok=True)

    splash = draw_splash()
    write(ASSETS / "splash-mast.png", png_bytes(splash.w, splash.h, splash.to_rgba_bytes()))

    icon32 = draw_icon(32)
    rows32 = icon32.to_rgba_bytes()
    png32 = png_bytes(32, 32, rows32)
    write(ASSETS / "relaydeck.png", png32)

    icon256 = draw_icon(256)
    png256 = png_bytes(256, 256, icon256.to_rgba_bytes())
    write(ASSETS / "relaydeck-256.png", png256)

    write(ASSETS / "relaydeck.ico", ico_bytes([(32, ico_bmp_image(32, 32, rows32)), (256, png256)]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
