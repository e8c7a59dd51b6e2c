#!/usr/bin/python3
"""Draws the icons and the logo bitmap of qmverify into res/.

Shapes are drawn at 16x and reduced with premultiplied box filtering, so
edges get exact coverage anti-aliasing; coordinates are chosen on the pixel
grid so that straight edges stay crisp. The lettering of the logo is a hand
placed pixel font, which keeps the output independent of installed fonts.

Every icon is drawn at the size of each display scale the window asks for
(100, 125, 150, 175 and 200 %, sized as the window rounds: MulDiv), and the
logo at 1x and 2x. The coordinates of each drawing are those of its 100 %
size, scaled; straight edges are rounded to whole pixels of the size drawn.
At 100 % every number is used as it stands, so the images drawn for 100 %
stay byte for byte what they always were.

Usage: draw_artwork.py [--preview PNG]
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
SS = 16  # supersampling factor


class Canvas:
    """An RGBA drawing surface in target pixel coordinates."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        self.d = _BlendingDraw(self.img)

    def _p(self, pts):
        return [(x * SS, y * SS) for x, y in pts]

    def rect(self, x0, y0, x1, y1, fill):
        self.d.rectangle([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=fill)

    def rrect(self, x0, y0, x1, y1, r, fill):
        self.d.rounded_rectangle([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], r * SS, fill=fill)

    def poly(self, pts, fill):
        self.d.polygon(self._p(pts), fill=fill)

    def disc(self, cx, cy, r, fill):
        self.d.ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS - 1, (cy + r) * SS - 1], fill=fill)

    def stroke(self, pts, width, fill, caps=True):
        self.d.line(self._p(pts), fill=fill, width=int(round(width * SS)), joint="curve")
        if caps:
            for x, y in (pts[0], pts[-1]):
                self.disc(x, y, width / 2, fill)

    def gradient_disc(self, cx, cy, r, top, bottom):
        """A disc shaded from top to bottom."""
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        ld = ImageDraw.Draw(layer)
        y0, y1 = int((cy - r) * SS), int((cy + r) * SS)
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            ld.line([(0, y), (self.img.size[0], y)], fill=mix(top, bottom, t))
        mask = Image.new("L", self.img.size, 0)
        ImageDraw.Draw(mask).ellipse(
            [(cx - r) * SS, (cy - r) * SS, (cx + r) * SS - 1, (cy + r) * SS - 1], fill=255)
        self.img.paste(layer, (0, 0), mask)

    def gradient_rect(self, x0, y0, x1, y1, top, bottom):
        for y in range(int(y0 * SS), int(y1 * SS)):
            t = (y - y0 * SS) / max(1, (y1 - y0) * SS - 1)
            self.d.line([(x0 * SS, y), (x1 * SS - 1, y)], fill=mix(top, bottom, t))

    def result(self):
        small = self.img.convert("RGBa").resize((self.w, self.h), Image.BOX)
        return small.convert("RGBA")


class _BlendingDraw:
    """ImageDraw that blends translucent fills over what is there, instead of
    replacing the pixels (which would punch holes into the image)."""

    def __init__(self, img):
        self.img = img
        self.d = ImageDraw.Draw(img)

    def __getattr__(self, name):
        method = getattr(self.d, name)

        def call(*args, fill=None, **kwargs):
            if fill is None or len(fill) < 4 or fill[3] == 255:
                return method(*args, fill=fill, **kwargs)
            layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
            getattr(ImageDraw.Draw(layer), name)(*args, fill=fill, **kwargs)
            self.img.alpha_composite(layer)

        return call


# The DPIs of the display scales drawn for: 100, 125, 150, 175, 200 %.
DPIS = (96, 120, 144, 168, 192)


def scaled_size(base, dpi):
    """The size the window asks for: MulDiv(base, dpi, 96), rounded half up."""
    return (base * dpi + 48) // 96


class Scale:
    """Coordinates of a drawing made for 100 %, at the size drawn now."""

    def __init__(self, size, base):
        self.s = size / base

    def __call__(self, v):
        """A length or position, as it stands at 100 %."""
        return v if self.s == 1 else v * self.s

    def grid(self, v):
        """A position on the pixel grid: rounded to whole pixels."""
        return v if self.s == 1 else int(round(v * self.s))

    def pts(self, pts):
        return [(self(x), self(y)) for x, y in pts]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def rgb(hexstr, alpha=255):
    v = int(hexstr.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, alpha)


def put_pixels(img, x0, y0, rows, palette):
    """Hand-placed pixels: one character per pixel, '.' leaves the pixel."""
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch != ".":
                img.putpixel((x0 + dx, y0 + dy), palette[ch])


# --- status images, 13 x 13 at 100 % ------------------------------------------

def status_identical(size=13):
    c = Canvas(size, size)
    k = Scale(size, 13)
    pts = k.pts([(2.6, 6.6), (5.3, 9.4), (10.6, 3.4)])
    c.stroke(pts, k(3.9), rgb("#1d5e22"))
    c.stroke(pts, k(2.1), rgb("#3fb54a"))
    return c.result()


def status_not_identical(size=13):
    c = Canvas(size, size)
    k = Scale(size, 13)
    c.disc(k(6.5), k(6.5), k(6.5), rgb("#8e1b12"))
    c.gradient_disc(k(6.5), k(6.5), k(5.5), rgb("#f0584a"), rgb("#c8261a"))
    c.stroke(k.pts([(4.3, 4.3), (8.7, 8.7)]), k(1.7), rgb("#ffffff"))
    c.stroke(k.pts([(8.7, 4.3), (4.3, 8.7)]), k(1.7), rgb("#ffffff"))
    return c.result()


def status_updated(size=13):
    c = Canvas(size, size)
    k = Scale(size, 13)
    ink = rgb("#9c0d0d")
    c.poly(k.pts([(4.7, 1.8), (8.3, 1.8), (7.4, 8.6), (5.6, 8.6)]), ink)
    c.disc(k(6.5), k(1.9), k(1.8), ink)
    c.disc(k(6.5), k(11.0), k(1.55), ink)
    img = c.result()
    # a faint highlight down the bar gives the mark some body
    for y in range(k.grid(2), k.grid(7)):
        r, g, b, a = img.getpixel((k.grid(6), y))
        img.putpixel((k.grid(6), y), (min(255, r + 40), g + 10, b + 10, a))
    return img


def status_not_listed(size=13):
    """A file that nobody released: a white question mark on an amber disc."""
    c = Canvas(size, size)
    k = Scale(size, 13)
    c.disc(k(6.5), k(6.5), k(6.5), rgb("#8a5a00"))
    c.gradient_disc(k(6.5), k(6.5), k(5.5), rgb("#ffc83d"), rgb("#e09200"))
    white = rgb("#ffffff")
    c.stroke(k.pts([(4.7, 4.9), (5.1, 3.7), (6.5, 3.1), (7.9, 3.7), (8.3, 4.8),
                    (7.6, 5.9), (6.5, 6.6), (6.5, 7.9)]), k(1.5), white)
    c.disc(k(6.5), k(10.0), k(0.95), white)
    return c.result()


# --- application icon: white check mark on a green disc ----------------------

def app_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    mid = size / 2.0
    c.disc(mid, mid, 15.5 * s, rgb("#1c6b27"))
    c.gradient_disc(mid, mid, 14.5 * s, rgb("#5fcf67"), rgb("#238a31"))
    # soft glint in the upper half
    glint = Canvas(size, size)
    glint.disc(mid, mid - 6 * s, 10 * s, (255, 255, 255, 46))
    c.img.alpha_composite(glint.img)
    pts = [(8.5 * s, 16.5 * s), (13.5 * s, 21.8 * s), (23.5 * s, 10.5 * s)]
    width = 4.6 * s if size >= 24 else 2.3
    shadow = [(x + 0.6 * s, y + 0.9 * s) for x, y in pts]
    c.stroke(shadow, width, (10, 60, 16, 110))
    c.stroke(pts, width, rgb("#ffffff"))
    return c.result()


# --- button icons --------------------------------------------------------------

def icon_exit(size=20):
    """A computer screen, 20 x 20 at 100 %."""
    c = Canvas(size, size)
    k = Scale(size, 20)
    g = k.grid
    c.rrect(g(1), g(1), g(19), g(15), k(1.5), rgb("#3a3f47"))
    c.rrect(g(2), g(2), g(18), g(14), k(1), rgb("#6b727d"))
    c.gradient_rect(g(3), g(3), g(17), g(13), rgb("#7fc4f5"), rgb("#1f5fae"))
    # a soft glare across the upper left of the glass
    c.poly([(g(3), g(3)), (g(10), g(3)), (g(5), g(13)), (g(3), g(13))], (255, 255, 255, 30))
    c.rect(g(8), g(15), g(12), g(17), rgb("#4c525b"))
    c.rrect(g(4), g(17), g(16), g(19), k(0.8), rgb("#3a3f47"))
    c.rect(g(5), g(17), g(15), g(18), rgb("#7b828d"))
    return c.result()


def burst(c, cx, cy, r_out, r_in, points, fill, rot=0.0):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rot + math.pi * i / points
        pts.append((cx + r * math.sin(a), cy - r * math.cos(a)))
    c.poly(pts, fill)


def icon_settings(size=18):
    """A panel with a yellow burst, 18 x 18 at 100 %."""
    c = Canvas(size, size)
    k = Scale(size, 18)
    g = k.grid
    c.rect(g(1), g(5), g(15), g(17), rgb("#4a5260"))
    c.gradient_rect(g(2), g(6), g(14), g(16), rgb("#f4f6f8"), rgb("#c9d0d9"))
    # two slider tracks with knobs
    c.rect(g(3), g(9), g(13), g(10), rgb("#7d8794"))
    c.rect(g(3), g(13), g(13), g(14), rgb("#7d8794"))
    c.rect(g(5), g(8), g(7), g(11), rgb("#2f6fc0"))
    c.rect(g(9), g(12), g(11), g(15), rgb("#2f6fc0"))
    burst(c, k(13.5), k(4.5), k(4.6), k(2.0), 8, rgb("#c77a00"))
    burst(c, k(13.5), k(4.5), k(3.7), k(1.6), 8, rgb("#ffd21f"))
    c.disc(k(13.5), k(4.5), k(1.2), rgb("#fff6b0"))
    return c.result()


def document(c, k, x0, y0, x1, y1):
    """A page with a folded corner; x0..y1 and the fold are of the 100 % size."""
    fold = 3
    g = k.grid
    c.poly([(g(x0), g(y0)), (g(x1 - fold), g(y0)), (g(x1), g(y0 + fold)), (g(x1), g(y1)),
            (g(x0), g(y1))], rgb("#5b6470"))
    c.poly([(g(x0 + 1), g(y0 + 1)), (k(x1 - fold - 0.4), g(y0 + 1)), (g(x1 - 1), k(y0 + fold + 0.4)),
            (g(x1 - 1), g(y1 - 1)), (g(x0 + 1), g(y1 - 1))], rgb("#ffffff"))
    c.poly([(g(x1 - fold), g(y0)), (g(x1 - fold), g(y0 + fold)), (g(x1), g(y0 + fold))],
           rgb("#aab3be"))
    for y in range(y0 + 4, y1 - 1, 2):
        c.rect(g(x0 + 2), g(y), g(x1 - 2), g(y + 1), rgb("#9aa6b4"))


def icon_compare(size=18):
    """Two documents joined by a magnifier, 18 x 18 at 100 %."""
    c = Canvas(size, size)
    k = Scale(size, 18)
    document(c, k, 0, 0, 8, 11)
    document(c, k, 10, 0, 18, 11)
    # the lens sits over both pages, its handle runs to the lower right
    handle = k.pts([(11.2, 12.2), (15.6, 16.6)])
    c.stroke(handle, k(2.6), rgb("#5a3a1a"))
    c.stroke(handle, k(1.4), rgb("#a8703a"), caps=False)
    c.disc(k(9), k(9.5), k(4.6), rgb("#2e3640"))
    c.gradient_disc(k(9), k(9.5), k(3.4), rgb("#e8f5ff"), rgb("#8fc3ea"))
    c.disc(k(8), k(8.3), k(1.2), (255, 255, 255, 210))
    return c.result()


# --- the maker's logo: a quill and the word "Quillmark" on white --------------

LETTERS = {
    "Q": ["..####..", ".##..##.", "##....##", "##....##", "##....##", "##....##",
          "##....##", "##.##.##", ".##.###.", "..####..", "......##"],
    "u": ["......", "......", "......", "##..##", "##..##", "##..##", "##..##",
          "##..##", "##.###", ".##.##", "......"],
    "i": ["##", "..", "..", "##", "##", "##", "##", "##", "##", "##", ".."],
    "l": ["##", "##", "##", "##", "##", "##", "##", "##", "##", "##", ".."],
    "m": ["..........", "..........", "..........", "##.##..##.", "###.####.#",
          "##..##..##", "##..##..##", "##..##..##", "##..##..##", "##..##..##",
          ".........."],
    "a": ["......", "......", "......", ".####.", "....##", ".#####", "##..##",
          "##..##", "##.###", ".##.##", "......"],
    "r": ["....", "....", "....", "##.#", "####", "##..", "##..", "##..", "##..",
          "##..", "...."],
    "k": ["##....", "##....", "##....", "##..##", "##.##.", "####..", "###...",
          "####..", "##.##.", "##..##", "......"],
}


def lettering(img, x, y, word, colour, zoom=1):
    """The pixel font; at zoom n each of its pixels is n x n."""
    for ch in word:
        rows = LETTERS[ch]
        if zoom == 1:
            put_pixels(img, x, y, [r.replace("#", "x") for r in rows], {"x": colour})
        else:
            big = ["".join(("x" if p == "#" else ".") * zoom for p in r) for r in rows]
            put_pixels(img, x, y, [r for r in big for _ in range(zoom)], {"x": colour})
        x += (len(rows[0]) + 1) * zoom
    return x


def quill(w, h, zoom=1):
    """The feather mark, drawn as its own small canvas (w x h at 1x)."""
    c = Canvas(w * zoom, h * zoom)
    k = Scale(zoom, 1)
    # vane: a leaf shape along a diagonal shaft from lower left to upper right
    vane = [(4.0, 33.5), (5.5, 24), (9, 14), (14.5, 6), (21.5, 1.0), (20.5, 7.5),
            (17.5, 15), (13, 22.5), (8, 29)]
    c.poly(k.pts(vane), rgb("#1f4f8f"))
    inner = [(6.0, 29.5), (7.5, 22.5), (10.5, 15), (15, 8.5), (19.5, 4.5), (18, 9),
             (15.5, 15), (12, 21.5)]
    c.poly(k.pts(inner), rgb("#3d7fd0"))
    # notches cut into the vane
    for (x0, y0), (x1, y1) in (((13.6, 20.2), (17.2, 19.0)), ((16.2, 14.0), (19.6, 13.6))):
        c.stroke(k.pts([(x0, y0), (x1, y1)]), k(1.1), (255, 255, 255, 255), caps=False)
    # the shaft and the nib
    c.stroke(k.pts([(2.0, 39.0), (19.5, 3.5)]), k(1.2), rgb("#10284a"))
    c.poly(k.pts([(1.0, 40.5), (2.4, 36.0), (3.8, 36.8)]), rgb("#10284a"))
    return c.result()


def logo(zoom=1):
    """85 x 41 at 1x; at 2x every position and the lettering's pixels doubled."""
    img = Image.new("RGB", (85 * zoom, 41 * zoom), (255, 255, 255))
    q = quill(23, 41, zoom)
    img.paste(q, (1 * zoom, 0), q)
    ink = (16, 40, 74)
    lettering(img, 24 * zoom, 12 * zoom, "Quillmark", ink, zoom)
    # green rule under the word, the colour of the check mark
    for x in range(24 * zoom, 84 * zoom):
        for y in range(26 * zoom, 28 * zoom):
            img.putpixel((x, y), (46, 154, 58))
    return img


# --- file writers ---------------------------------------------------------------

def ico_entry(img):
    """32-bit BGRA DIB with an AND mask, as LoadImage expects it in an .ico."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = img.getpixel((x, y))
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if img.getpixel((x, y))[3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    entries = [ico_entry(i) for i in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, data in zip(images, entries):
        w, h = img.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_bmp16(path, img):
    """A 16-colour BMP: CreateMappedBitmap maps colours through the colour table."""
    pal_img = img.quantize(colors=16, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = pal_img.getpalette()[:48]
    pal += [0] * (48 - len(pal))
    # white must be present exactly, so that it maps to the button face
    idx = [tuple(pal[i * 3:i * 3 + 3]) for i in range(16)]
    if (255, 255, 255) not in idx:
        raise SystemExit("logo palette lost pure white")
    w, h = img.size
    stride = ((w * 4 + 31) // 32) * 4
    bits = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = pal_img.getpixel((x, y))
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        bits += row
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in idx)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    off = 14 + len(info) + len(colours)
    filehdr = struct.pack("<2sIHHI", b"BM", off + len(bits), 0, 0, off)
    with open(path, "wb") as f:
        f.write(filehdr + info + colours + bits)
    return pal_img.convert("RGB")


def preview(path, items):
    """An enlarged sheet for judging the art: each image at 1x and 8x on grey and white."""
    zoom = 8
    pad = 8
    width = sum(max(i.size[0] * zoom, 60) + pad for _, i in items) + pad
    height = max(i.size[1] for _, i in items) * zoom * 2 + 3 * pad + 60
    sheet = Image.new("RGB", (width, height), (240, 240, 240))
    x = pad
    for _, img in items:
        big = img.resize((img.size[0] * zoom, img.size[1] * zoom), Image.NEAREST)
        for row, bg in enumerate(((236, 233, 216), (255, 255, 255))):
            y = pad + row * (big.size[1] + pad)
            tile = Image.new("RGB", big.size, bg)
            if big.mode == "RGBA":
                tile.paste(big, (0, 0), big)
            else:
                tile.paste(big, (0, 0))
            sheet.paste(tile, (x, y))
        one = Image.new("RGB", img.size, (236, 233, 216))
        if img.mode == "RGBA":
            one.paste(img, (0, 0), img)
        else:
            one.paste(img, (0, 0))
        sheet.paste(one, (x, height - 50))
        x += max(img.size[0] * zoom, 60) + pad
    sheet.save(path)


def main():
    def sizes(base):
        return [scaled_size(base, dpi) for dpi in DPIS]

    # The application icon: the small (16) and the large (32) icon of each
    # scale, and 48, which Explorer shows.
    app_sizes = sorted(set(sizes(16) + sizes(32) + [48]))
    art = {
        "identical.ico": [status_identical(n) for n in sizes(13)],
        "not_identical.ico": [status_not_identical(n) for n in sizes(13)],
        "updated.ico": [status_updated(n) for n in sizes(13)],
        "not_listed.ico": [status_not_listed(n) for n in sizes(13)],
        "qmverify.ico": [app_icon(n) for n in app_sizes],
        "exit.ico": [icon_exit(n) for n in sizes(20)],
        "settings.ico": [icon_settings(n) for n in sizes(18)],
        "compare.ico": [icon_compare(n) for n in sizes(18)],
    }
    for name, images in art.items():
        write_ico(os.path.join(RES, name), images)
    shown = write_bmp16(os.path.join(RES, "logo.bmp"), logo())
    shown2x = write_bmp16(os.path.join(RES, "logo2x.bmp"), logo(2))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        items = [(n, i) for n, imgs in art.items() for i in imgs]
        items += [("logo", shown), ("logo2x", shown2x)]
        preview(sys.argv[2], items)


if __name__ == "__main__":
    main()
