"""The raster paintings of the gallery pack: procedural landscapes, colour
fields and geometric studies, each from its own fixed seed.

Every function takes a numpy random Generator and a size and returns an RGB
PIL image. Arrays are float32 in 0..1, shaped (height, width[, 3]).
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter


# ---------------------------------------------------------------- helpers

def hexrgb(h):
    h = h.lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], dtype=np.float32)


def smooth_noise(rng, h, w, cell):
    """Value noise: a coarse random grid enlarged smoothly to h x w."""
    gh = max(2, int(math.ceil(h / cell)) + 2)
    gw = max(2, int(math.ceil(w / cell)) + 2)
    grid = rng.random((gh, gw), dtype=np.float32)
    img = Image.fromarray(grid, mode="F").resize((gw * cell, gh * cell), Image.BICUBIC)
    arr = np.asarray(img, dtype=np.float32)
    oy = int(rng.integers(0, cell))
    ox = int(rng.integers(0, cell))
    return arr[oy:oy + h, ox:ox + w]


def fbm(rng, h, w, cell=256, octaves=5, gain=0.5):
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for _ in range(octaves):
        total += amp * smooth_noise(rng, h, w, max(2, int(cell)))
        norm += amp
        amp *= gain
        cell /= 2
    return total / norm


def fbm1d(rng, n, cell=200, octaves=5, gain=0.5):
    return fbm(rng, 1, n, cell, octaves, gain)[0]


def vgradient(h, w, stops):
    """Vertical gradient through (position, colour) stops."""
    y = np.linspace(0, 1, h, dtype=np.float32)
    pos = np.array([s[0] for s in stops], np.float32)
    out = np.empty((h, 3), np.float32)
    for c in range(3):
        out[:, c] = np.interp(y, pos, np.array([s[1][c] for s in stops], np.float32))
    return np.broadcast_to(out[:, None, :], (h, w, 3)).copy()


def mix(a, b, t):
    t = np.asarray(t, np.float32)
    if t.ndim == 2:
        t = t[..., None]
    return a * (1 - t) + b * t


def grain(rng, img, amount=0.025):
    h, w = img.shape[:2]
    n = rng.standard_normal((h, w), dtype=np.float32) * amount
    return img + n[..., None]


def canvas_texture(rng, img, amount=0.03):
    """A faint woven texture, like paint on canvas."""
    h, w = img.shape[:2]
    y = np.arange(h, dtype=np.float32)[:, None]
    x = np.arange(w, dtype=np.float32)[None, :]
    weave = (np.sin(x * 1.9) * np.sin(y * 1.7)) * 0.5
    fib = smooth_noise(rng, h, w, 6) - 0.5
    return img + (weave * 0.4 + fib)[..., None] * amount


def vignette(img, strength=0.25):
    h, w = img.shape[:2]
    y = np.linspace(-1, 1, h, dtype=np.float32)[:, None]
    x = np.linspace(-1, 1, w, dtype=np.float32)[None, :]
    d = np.sqrt(x * x + y * y) / math.sqrt(2)
    return img * (1 - strength * d ** 2.2)[..., None]


def to_image(arr):
    return Image.fromarray((np.clip(arr, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB")


def from_image(img):
    return np.asarray(img.convert("RGB"), dtype=np.float32) / 255.0


def soft_mask(mask_img, radius):
    return np.asarray(mask_img.filter(ImageFilter.GaussianBlur(radius)), np.float32) / 255.0


# ---------------------------------------------------------------- paintings

def colour_fields(rng, w, h):
    """Soft-edged fields of glowing colour stacked on a warm ground."""
    ground = hexrgb("#5a1e14")
    img = np.empty((h, w, 3), np.float32)
    img[:] = ground
    img = mix(img, hexrgb("#3a1410"), fbm(rng, h, w, 300) * 0.8)
    fields = [(0.07, 0.40, "#e0762b", "#f2a541"), (0.47, 0.62, "#b23a24", "#c9522e"), (0.69, 0.93, "#e9b949", "#f5d680")]
    # The fields do not overlap, so they can share one edge and one body texture.
    edge = fbm(rng, h, w, 60, 4)
    body = fbm(rng, h, w, 220) ** 1.5
    for top, bottom, c1, c2 in fields:
        mask = Image.new("L", (w, h), 0)
        d = ImageDraw.Draw(mask)
        d.rectangle([w * 0.09, h * top, w * 0.91, h * bottom], fill=255)
        m = soft_mask(mask, w * 0.012)
        m = np.clip(m * (0.85 + 0.3 * edge) - 0.05, 0, 1) ** 0.8
        inner = mix(np.broadcast_to(hexrgb(c1), (h, w, 3)), np.broadcast_to(hexrgb(c2), (h, w, 3)), body)
        img = mix(img, inner, m * 0.95)
    img = canvas_texture(rng, img, 0.035)
    return to_image(vignette(grain(rng, img, 0.012), 0.3))


def mountains(rng, w, h):
    """Ranges of mountains fading into a morning sky, with mist in the valleys."""
    sky = vgradient(h, w, [(0, hexrgb("#2b4a78")), (0.45, hexrgb("#e9a27c")), (0.62, hexrgb("#f6d3a2")), (1, hexrgb("#f6d3a2"))])
    img = sky
    y = np.arange(h, dtype=np.float32)[:, None]
    x = np.arange(w, dtype=np.float32)[None, :]
    sx, sy = w * 0.68, h * 0.46
    dist = np.sqrt((x - sx) ** 2 + (y - sy) ** 2)
    sun = np.clip(1 - dist / (h * 0.045), 0, 1) ** 0.5
    glow = np.exp(-dist / (h * 0.25)) * 0.45
    img = mix(img, np.broadcast_to(hexrgb("#fff1d6"), (h, w, 3)), np.clip(sun + glow, 0, 1))
    layers = 6
    far = hexrgb("#c99a9a")
    near = hexrgb("#1d2335")
    shade = fbm(rng, h, w, 120, 4) * 0.12
    for i in range(layers):
        t = i / (layers - 1)
        base = h * (0.48 + 0.09 * i)
        amp = h * (0.16 - 0.012 * i)
        ridge = base - amp * (fbm1d(rng, w, cell=w * (0.5 - 0.05 * i), octaves=6, gain=0.52) - 0.3) * 2
        col = mix(far, near, t ** 1.3)
        mask = (y >= ridge[None, :]).astype(np.float32)
        layer = col[None, None, :] * (1 - shade[..., None] * (0.5 + t))
        img = mix(img, layer, mask)
        # Mist gathers at the foot of every range.
        mist = np.clip(1 - np.abs(y - (base + amp * 0.9)) / (h * 0.06), 0, 1) ** 2
        img = mix(img, np.broadcast_to(hexrgb("#f3d9c4"), (h, w, 3)), mist * 0.35 * (1 - t * 0.6))
    img = canvas_texture(rng, img, 0.02)
    return to_image(vignette(grain(rng, img, 0.01), 0.2))


def circles_composition(rng, w, h):
    """A balanced study of circles, arcs, bars and a triangle on warm paper."""
    ss = 2
    W, H = w * ss, h * ss
    paper = Image.new("RGB", (W, H), (236, 228, 210))
    d = ImageDraw.Draw(paper)
    u = H / 100.0
    d.ellipse([W * 0.18, H * 0.14, W * 0.18 + 52 * u, H * 0.14 + 52 * u], fill=(196, 58, 40))
    d.pieslice([W * 0.52, H * 0.30, W * 0.52 + 40 * u, H * 0.30 + 40 * u], 180, 360, fill=(28, 52, 102))
    d.pieslice([W * 0.52, H * 0.30, W * 0.52 + 40 * u, H * 0.30 + 40 * u], 0, 180, fill=(230, 178, 48))
    d.rectangle([W * 0.08, H * 0.78, W * 0.92, H * 0.78 + 2.2 * u], fill=(30, 30, 30))
    d.rectangle([W * 0.70, H * 0.08, W * 0.70 + 1.6 * u, H * 0.78], fill=(30, 30, 30))
    d.polygon([(W * 0.30, H * 0.78), (W * 0.44, H * 0.50), (W * 0.58, H * 0.78)], fill=(30, 30, 30))
    d.ellipse([W * 0.78, H * 0.58, W * 0.78 + 12 * u, H * 0.58 + 12 * u], fill=(196, 58, 40))
    d.ellipse([W * 0.08, H * 0.62, W * 0.08 + 9 * u, H * 0.62 + 9 * u], outline=(28, 52, 102), width=int(1.4 * u))
    for i in range(7):
        x = W * 0.76 + i * 2.2 * u
        d.line([(x, H * 0.14), (x, H * 0.40)], fill=(30, 30, 30), width=max(2, int(0.35 * u)))
    img = from_image(paper.resize((w, h), Image.LANCZOS))
    img = mix(img, img * 0.92, fbm(rng, h, w, 200, 5))
    img = canvas_texture(rng, img, 0.025)
    return to_image(grain(rng, img, 0.012))


def seascape(rng, w, h):
    """A low sun over the sea, its path of light broken by the waves."""
    horizon = int(h * 0.56)
    img = vgradient(h, w, [(0, hexrgb("#1f2f5a")), (0.3, hexrgb("#8a4f7d")), (0.5, hexrgb("#f08a5d")), (0.56, hexrgb("#f9c784")),
                           (0.5601, hexrgb("#3e3f6b")), (1, hexrgb("#101632"))])
    y = np.arange(h, dtype=np.float32)[:, None]
    x = np.arange(w, dtype=np.float32)[None, :]
    sx, sy = w * 0.5, horizon - h * 0.05
    dist = np.sqrt((x - sx) ** 2 + (y - sy) ** 2)
    sun = (dist < h * 0.055) & (y < horizon)
    img = mix(img, np.broadcast_to(hexrgb("#fff0c8"), (h, w, 3)), sun.astype(np.float32))
    img = mix(img, np.broadcast_to(hexrgb("#ffd39a"), (h, w, 3)), (np.exp(-dist / (h * 0.18)) * 0.5 * (y < horizon)))
    clouds = fbm(rng, h, w, 400, 6)
    band = np.clip(1 - np.abs(y - h * 0.28) / (h * 0.12), 0, 1)
    img = mix(img, np.broadcast_to(hexrgb("#5b3a6e"), (h, w, 3)), np.clip((clouds - 0.5) * 3, 0, 1) * band * 0.7)
    # Water: wave streaks that catch the light near the sun's column.
    sea = y >= horizon
    depth = np.clip((y - horizon) / (h - horizon), 0, 1)
    # Waves: noise stretched along the horizon.
    waves = fbm(rng, h, max(2, w // 8), 6, 3)
    waves = np.asarray(Image.fromarray(waves, "F").resize((w, h), Image.BICUBIC), np.float32)
    streak = fbm(rng, h, max(2, w // 12), 4, 3)
    streak = np.asarray(Image.fromarray(streak, "F").resize((w, h), Image.BICUBIC), np.float32)
    column = np.exp(-((x - sx) / (w * (0.03 + 0.12 * depth))) ** 2)
    glints = np.clip((streak - 0.55) * 6, 0, 1) * column * sea
    img = mix(img, np.broadcast_to(hexrgb("#ffd8a0"), (h, w, 3)), glints * 0.9)
    img = mix(img, img * 0.75, (waves * 0.3 + depth * 0.4) * sea)
    img = canvas_texture(rng, img, 0.02)
    return to_image(vignette(grain(rng, img, 0.01), 0.3))


def currents(rng, w, h):
    """Thousands of brush strokes following an invisible current."""
    base = vgradient(h, w, [(0, hexrgb("#0f2437")), (1, hexrgb("#183d4f"))])
    img = to_image(base)
    d = ImageDraw.Draw(img, "RGBA")
    field = fbm(rng, h // 8 + 2, w // 8 + 2, 40, 4) * math.pi * 4
    palette = [hexrgb(c) for c in ("#f4e3b1", "#e8a87c", "#d96459", "#5fa8a0", "#9bd1c4", "#f2c14e")]
    strokes = int(w * h / 900)
    for i in range(strokes):
        px, py = rng.random() * w, rng.random() * h
        colour_t = (px / w * 0.6 + py / h * 0.4 + rng.random() * 0.25) % 1.0
        c = palette[int(colour_t * len(palette)) % len(palette)]
        pts = [(px, py)]
        length = int(rng.integers(12, 40))
        for _ in range(length):
            a = field[min(int(py / 8), field.shape[0] - 1), min(int(px / 8), field.shape[1] - 1)]
            px += math.cos(a) * 5
            py += math.sin(a) * 5
            if not (0 <= px < w and 0 <= py < h):
                break
            pts.append((px, py))
        if len(pts) > 2:
            alpha = int(90 + rng.random() * 120)
            d.line(pts, fill=tuple(int(v * 255) for v in c) + (alpha,), width=int(rng.integers(2, 6)), joint="curve")
    arr = from_image(img)
    arr = canvas_texture(rng, arr, 0.03)
    return to_image(vignette(arr, 0.35))


def stained_glass(rng, w, h):
    """Jewel-coloured cells in dark lead, lit from behind."""
    sw, sh = w // 4, h // 4
    n = 90
    seeds = np.stack([rng.random(n) * sw, rng.random(n) * sh], axis=1).astype(np.float32)
    yy, xx = np.mgrid[0:sh, 0:sw].astype(np.float32)
    best = np.full((sh, sw), np.inf, np.float32)
    label = np.zeros((sh, sw), np.int32)
    for i, (sx, sy) in enumerate(seeds):
        dd = (xx - sx) ** 2 + (yy - sy) ** 2
        closer = dd < best
        best[closer] = dd[closer]
        label[closer] = i
    label_img = Image.fromarray(label.astype(np.uint8)).resize((w, h), Image.NEAREST)
    lab = np.asarray(label_img, np.int32)
    palette = np.array([hexrgb(c) for c in ("#1b4f8c", "#2a7bbf", "#b8282f", "#e2a627", "#2e8b57", "#6b3fa0", "#d9662b", "#3aa6a0")])
    colours = palette[rng.integers(0, len(palette), n)] * (0.75 + 0.35 * rng.random((n, 1)))
    img = colours[lab].astype(np.float32)
    # Light from behind, brighter in the middle of the window.
    y = np.linspace(-1, 1, h, dtype=np.float32)[:, None]
    x = np.linspace(-1, 1, w, dtype=np.float32)[None, :]
    light = 0.65 + 0.5 * np.exp(-(x * x + y * y) * 1.5)
    img = img * light[..., None] * (0.85 + 0.3 * fbm(rng, h, w, 90, 4))[..., None]
    edges = np.zeros((h, w), bool)
    edges[1:, :] |= lab[1:, :] != lab[:-1, :]
    edges[:, 1:] |= lab[:, 1:] != lab[:, :-1]
    lead = Image.fromarray((edges * 255).astype(np.uint8)).filter(ImageFilter.MaxFilter(max(3, (w // 400) | 1)))
    lead = soft_mask(lead, 1.2)
    img = mix(img, np.broadcast_to(hexrgb("#151515"), (h, w, 3)), lead)
    return to_image(vignette(grain(rng, img, 0.015), 0.45))


def northern_night(rng, w, h):
    """Green and violet curtains of light over dark hills and a still lake."""
    img = vgradient(h, w, [(0, hexrgb("#03060f")), (0.5, hexrgb("#0e2236")), (0.72, hexrgb("#2a4a5e")), (1, hexrgb("#2a4a5e"))])
    y = np.arange(h, dtype=np.float32)[:, None]
    x = np.arange(w, dtype=np.float32)[None, :]
    # Stars.
    stars = np.zeros((h, w), np.uint8)
    count = int(w * h / 2500)
    sy = rng.integers(0, int(h * 0.6), count)
    sx = rng.integers(0, w, count)
    stars[sy, sx] = (rng.random(count) ** 3 * 255).astype(np.uint8)
    stars = soft_mask(Image.fromarray(stars, "L"), 0.9) * 5
    img = img + np.clip(stars, 0, 1)[..., None] * 0.9
    # Aurora: a wavering band, streaked vertically.
    centre = h * 0.28 + (fbm1d(rng, w, w * 0.6, 4) - 0.5) * h * 0.35
    # Bright at its lower edge, fading slowly upwards, streaked into rays.
    below = np.exp(-((y - centre[None, :]) / (h * 0.05)) ** 2)
    above = np.exp(-np.maximum(centre[None, :] - y, 0) / (h * 0.16))
    curtain = np.where(y >= centre[None, :], below, above)
    streaks = fbm(rng, 2, w, 10, 3)[0]
    curtain = curtain * (0.35 + 0.9 * streaks[None, :])
    green = hexrgb("#47f5a0")
    violet = hexrgb("#9b5de5")
    aur = mix(np.broadcast_to(green, (h, w, 3)), np.broadcast_to(violet, (h, w, 3)), np.clip((centre[None, :] - y) / (h * 0.2), 0, 1))
    img = img + aur * np.clip(curtain, 0, 1.2)[..., None] * 0.75
    # Hills and their reflection in the lake.
    horizon = h * 0.72
    ridge = horizon - (fbm1d(rng, w, w * 0.4, 6) - 0.35) * h * 0.22
    hills = (y >= ridge[None, :]) & (y < horizon)
    lake = y >= horizon
    mirror = np.clip(2 * horizon - y, 0, h - 1).astype(np.int32)
    reflected = img[mirror[:, 0]] * 0.6
    img = np.where(lake[..., None], reflected, img)
    ripple = fbm(rng, h, w, 30, 3)
    img = np.where(lake[..., None], img * (0.8 + 0.3 * ripple[..., None]), img)
    hill_col = hexrgb("#05080c")
    img = np.where(hills[..., None], hill_col + 0.04 * fbm(rng, h, w, 80, 3)[..., None], img)
    return to_image(grain(rng, img, 0.008))


def pines_in_fog(rng, w, h):
    """Rows of pines receding into a pale morning fog."""
    img = vgradient(h, w, [(0, hexrgb("#c9d6d3")), (0.7, hexrgb("#e9eee8")), (1, hexrgb("#dfe6df"))])
    rows = 5
    for r in range(rows):
        t = r / (rows - 1)
        layer = Image.new("L", (w, h), 0)
        d = ImageDraw.Draw(layer)
        ground = h * (0.55 + 0.1 * r)
        tree_h = h * (0.14 + 0.09 * t)
        x = -rng.random() * 60
        while x < w + 60:
            th = tree_h * (0.7 + 0.6 * rng.random())
            tw = th * (0.28 + 0.08 * rng.random())
            tiers = 7
            for k in range(tiers):
                f = k / tiers
                top = ground - th + th * f * 0.92
                half = tw * (0.15 + 0.85 * (f + 1 / tiers)) / 2
                d.polygon([(x, top), (x - half, top + th * 0.22), (x + half, top + th * 0.22)], fill=255)
            d.rectangle([x - tw * 0.04, ground - th * 0.1, x + tw * 0.04, ground + 4], fill=255)
            x += tw * (0.35 + 0.5 * rng.random())
        d.rectangle([0, ground, w, h], fill=255)
        m = soft_mask(layer, 1.5 + (1 - t) * 5)
        col = mix(hexrgb("#a9bbb6"), hexrgb("#1f2f2b"), t ** 1.4)
        img = mix(img, np.broadcast_to(col, (h, w, 3)), m)
        fog = fbm(rng, h, w, 500, 4)
        y = np.arange(h, dtype=np.float32)[:, None]
        band = np.clip(1 - np.abs(y - ground) / (h * 0.12), 0, 1)
        img = mix(img, np.broadcast_to(hexrgb("#edf1ec"), (h, w, 3)), band * fog * 0.55 * (1 - 0.5 * t))
    img = canvas_texture(rng, img, 0.015)
    return to_image(vignette(grain(rng, img, 0.008), 0.2))


def vibration(rng, w, h):
    """Wavering stripes that seem to move when looked at."""
    y = np.linspace(-1, 1, h, dtype=np.float32)[:, None] * (h / w)
    x = np.linspace(-1, 1, w, dtype=np.float32)[None, :]
    cx, cy = 0.25, -0.1
    r = np.sqrt((x - cx) ** 2 + (y - cy) ** 2)
    warp = fbm(rng, h, w, 500, 3) * 2.5
    phase = r * 38 + warp + np.sin(x * 6) * 0.8
    stripe = 0.5 + 0.5 * np.tanh(np.sin(phase) * 6)
    a = hexrgb("#12263a")
    b = hexrgb("#f4d35e")
    c = hexrgb("#ee964b")
    colour_b = mix(np.broadcast_to(b, (h, w, 3)), np.broadcast_to(c, (h, w, 3)), np.clip(r / 1.2, 0, 1))
    img = mix(np.broadcast_to(a, (h, w, 3)), colour_b, stripe)
    img = canvas_texture(rng, img, 0.02)
    return to_image(grain(rng, img, 0.01))


def garden_washes(rng, w, h):
    """Overlapping watercolour washes with darker rims on rough paper."""
    paper = np.ones((h, w, 3), np.float32) * hexrgb("#f7f1e3")
    paper = paper * (0.96 + 0.05 * fbm(rng, h, w, 8, 3))[..., None]
    img = paper
    flow = fbm(rng, h, w, 120, 4)
    colours = ["#3d7ea6", "#e07a5f", "#81b29a", "#f2cc8f", "#6d597a", "#e5989b", "#5c9e8f"]
    for i in range(16):
        cx, cy = rng.random() * w, rng.random() * h
        rad = (0.08 + 0.14 * rng.random()) * min(w, h)
        k = 40
        wobble = rng.random(k) * 0.35 + 0.8
        wobble = np.convolve(np.concatenate([wobble, wobble[:3]]), np.ones(4) / 4, "valid")[:k]
        # Each wash only touches its own box (blob plus blur margin).
        margin = rad * 1.2 * 1.15 + rad * 0.2
        x0, x1 = max(0, int(cx - margin)), min(w, int(cx + margin) + 1)
        y0, y1 = max(0, int(cy - margin)), min(h, int(cy + margin) + 1)
        if x1 <= x0 or y1 <= y0:
            continue
        mask = Image.new("L", (x1 - x0, y1 - y0), 0)
        pts = []
        for j in range(k):
            a = j / k * 2 * math.pi
            pts.append((cx - x0 + math.cos(a) * rad * wobble[j] * 1.2, cy - y0 + math.sin(a) * rad * wobble[j]))
        ImageDraw.Draw(mask).polygon(pts, fill=255)
        m = soft_mask(mask, rad * 0.06)
        rim = np.clip(m * (1 - m) * 4, 0, 1) ** 1.5
        pigment = hexrgb(colours[i % len(colours)])
        density = m * (0.35 + 0.25 * flow[y0:y1, x0:x1]) + rim * 0.35
        # Watercolour layers multiply, like glazes.
        img[y0:y1, x0:x1] = img[y0:y1, x0:x1] * (1 - density[..., None] * (1 - pigment))
    return to_image(grain(rng, img, 0.008))


def dunes(rng, w, h):
    """Sand dunes under a high sun: ridges of light and long soft shadows."""
    sky_h = int(h * 0.3)
    img = vgradient(h, w, [(0, hexrgb("#6fa3c8")), (0.3, hexrgb("#d9e4e6")), (1, hexrgb("#d9e4e6"))])
    y = np.arange(h, dtype=np.float32)[:, None]
    sand_light = hexrgb("#f0c27b")
    sand_dark = hexrgb("#9c5b2e")
    layers = 5
    wobble = fbm(rng, h, w, 60, 2) * 8
    for i in range(layers):
        t = i / (layers - 1)
        base = sky_h + (h - sky_h) * (0.05 + 0.2 * i)
        crest = base - (fbm1d(rng, w, w * 0.7, 3) - 0.3) * h * (0.32 - 0.04 * i)
        k = max(3, w // 40)
        crest = np.convolve(np.pad(crest, k, mode="edge"), np.ones(2 * k + 1) / (2 * k + 1), "same")[k:-k]
        slope = np.gradient(crest)
        mask = (y >= crest[None, :]).astype(np.float32)
        below = np.clip((y - crest[None, :]) / (h * 0.25), 0, 1)
        # Slopes facing the light are bright; the lee side under each crest is in shadow.
        light = np.clip(0.55 - slope[None, :] * 4.0 + below * 0.35, 0, 1)
        lee = np.clip(1 - (y - crest[None, :]) / (h * 0.05), 0, 1) * np.clip(slope[None, :] * 3, 0, 1)
        light = light * (1 - 0.45 * lee)
        ripples = 0.5 + 0.5 * np.sin((y - crest[None, :]) * 0.35 + wobble)
        col = mix(np.broadcast_to(sand_dark, (h, w, 3)), np.broadcast_to(sand_light, (h, w, 3)),
                  np.clip(light + ripples * 0.06, 0, 1))
        haze = (1 - t) * 0.35
        col = mix(col, np.broadcast_to(hexrgb("#e8d5b9"), (h, w, 3)), haze)
        img = mix(img, col, mask)
    img = canvas_texture(rng, img, 0.02)
    return to_image(vignette(grain(rng, img, 0.01), 0.2))


def nested_squares(rng, w, h):
    """Three squares nested low in each other, in ochres and earth."""
    img = np.ones((h, w, 3), np.float32) * hexrgb("#d8cfc0")
    s = min(w, h) * 0.86
    x0 = (w - s) / 2
    y0 = (h - s) / 2
    colours = ["#8c4a2f", "#c2702e", "#e3a33d", "#f2cf66"]
    mask = Image.new("L", (w, h), 0)
    for i, c in enumerate(colours):
        size = s * (1 - 0.2 * i)
        left = x0 + (s - size) / 2
        top = y0 + (s - size) * 0.75
        mask = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mask).rectangle([left, top, left + size, top + size], fill=255)
        m = soft_mask(mask, 1.2)
        col = hexrgb(c) * (0.94 + 0.08 * fbm(rng, h, w, 150, 4))[..., None]
        img = mix(img, col, m)
    img = canvas_texture(rng, img, 0.03)
    return to_image(grain(rng, img, 0.012))
