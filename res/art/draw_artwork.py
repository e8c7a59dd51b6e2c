#!/usr/bin/python3
"""Draws the icons and the logo bitmap of qmverify into res/.

Shapes are drawn at 16x and reduced with premultiplied box filtering, so
edges get exact coverage anti-aliasing; coordinates are chosen on the pixel
grid so that straight edges stay crisp. The lettering of the logo is a hand
placed pixel font, which keeps the output independent of installed fonts.

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


# --- status images, 13 x 13 ------------------------------------------------

def status_identical():
    c = Canvas(13, 13)
    pts = [(2.6, 6.6), (5.3, 9.4), (10.6, 3.4)]
    c.stroke(pts, 3.9, rgb("#1d5e22"))
    c.stroke(pts, 2.1, rgb("#3fb54a"))
    return c.result()


def status_not_identical():
    c = Canvas(13, 13)
    c.disc(6.5, 6.5, 6.5, rgb("#8e1b12"))
    c.gradient_disc(6.5, 6.5, 5.5, rgb("#f0584a"), rgb("#c8261a"))
    c.stroke([(4.3, 4.3), (8.7, 8.7)], 1.7, rgb("#ffffff"))
    c.stroke([(8.7, 4.3), (4.3, 8.7)], 1.7, rgb("#ffffff"))
    return c.result()


def status_updated():
    c = Canvas(13, 13)
    ink = rgb("#9c0d0d")
    c.poly([(4.7, 1.8), (8.3, 1.8), (7.4, 8.6), (5.6, 8.6)], ink)
    c.disc(6.5, 1.9, 1.8, ink)
    c.disc(6.5, 11.0, 1.55, ink)
    img = c.result()
    # a faint highlight down the bar gives the mark some body
    for y in range(2, 7):
        r, g, b, a = img.getpixel((6, y))
        img.putpixel((6, y), (min(255, r + 40), g + 10, b + 10, a))
    return img


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

def icon_exit():
    """A computer screen, 20 x 20."""
    c = Canvas(20, 20)
    c.rrect(1, 1, 19, 15, 1.5, rgb("#3a3f47"))
    c.rrect(2, 2, 18, 14, 1, rgb("#6b727d"))
    c.gradient_rect(3, 3, 17, 13, rgb("#7fc4f5"), rgb("#1f5fae"))
    # a soft glare across the upper left of the glass
    c.poly([(3, 3), (10, 3), (5, 13), (3, 13)], (255, 255, 255, 30))
    c.rect(8, 15, 12, 17, rgb("#4c525b"))
    c.rrect(4, 17, 16, 19, 0.8, rgb("#3a3f47"))
    c.rect(5, 17, 15, 18, rgb("#7b828d"))
    return c.result()


def burst(c, cx, cy, r_out, r_in, points, fill, rot=0.0):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rot + math.pi * i / points
        pts.append((cx + r * math.sin(a), cy - r * math.cos(a)))
    c.poly(pts, fill)


def icon_settings():
    """A panel with a yellow burst, 18 x 18."""
    c = Canvas(18, 18)
    c.rect(1, 5, 15, 17, rgb("#4a5260"))
    c.gradient_rect(2, 6, 14, 16, rgb("#f4f6f8"), rgb("#c9d0d9"))
    # two slider tracks with knobs
    c.rect(3, 9, 13, 10, rgb("#7d8794"))
    c.rect(3, 13, 13, 14, rgb("#7d8794"))
    c.rect(5, 8, 7, 11, rgb("#2f6fc0"))
    c.rect(9, 12, 11, 15, rgb("#2f6fc0"))
    burst(c, 13.5, 4.5, 4.6, 2.0, 8, rgb("#c77a00"))
    burst(c, 13.5, 4.5, 3.7, 1.6, 8, rgb("#ffd21f"))
    c.disc(13.5, 4.5, 1.2, rgb("#fff6b0"))
    return c.result()


def document(c, x0, y0, x1, y1):
    fold = 3
    c.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], rgb("#5b6470"))
    c.poly([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
            (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], rgb("#ffffff"))
    c.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], rgb("#aab3be"))
    for y in range(y0 + 4, y1 - 1, 2):
        c.rect(x0 + 2, y, x1 - 2, y + 1, rgb("#9aa6b4"))


def icon_compare():
    """Two documents joined by a magnifier, 18 x 18."""
    c = Canvas(18, 18)
    document(c, 0, 0, 8, 11)
    document(c, 10, 0, 18, 11)
    # the lens sits over both pages, its handle runs to the lower right
    c.stroke([(11.2, 12.2), (15.6, 16.6)], 2.6, rgb("#5a3a1a"))
    c.stroke([(11.2, 12.2), (15.6, 16.6)], 1.4, rgb("#a8703a"), caps=False)
    c.disc(9, 9.5, 4.6, rgb("#2e3640"))
    c.gradient_disc(9, 9.5, 3.4, rgb("#e8f5ff"), rgb("#8fc3ea"))
    c.disc(8, 8.3, 1.2, (255, 255, 255, 210))
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


def lettering(img, x, y, word, colour):
    for ch in word:
        rows = LETTERS[ch]
        put_pixels(img, x, y, [r.replace("#", "x") for r in rows], {"x": colour})
        x += len(rows[0]) + 1
    return x


def quill(w, h):
    """The feather mark, drawn as its own small canvas."""
    c = Canvas(w, h)
    # vane: a leaf shape along a diagonal shaft from lower left to upper right
    vane = [(4.0, 33.5), (5.5, 24), (9, 14), (14.5, 6), (21.5, 1.0), (20.5, 7.5),
            (17.5, 15), (13, 22.5), (8, 29)]
    c.poly(vane, rgb("#1f4f8f"))
    inner = [(6.0, 29.5), (7.5, 22.5), (10.5, 15), (15, 8.5), (19.5, 4.5), (18, 9),
             (15.5, 15), (12, 21.5)]
    c.poly(inner, rgb("#3d7fd0"))
    # notches cut into the vane
    for (x0, y0), (x1, y1) in (((13.6, 20.2), (17.2, 19.0)), ((16.2, 14.0), (19.6, 13.6))):
        c.stroke([(x0, y0), (x1, y1)], 1.1, (255, 255, 255, 255), caps=False)
    # the shaft and the nib
    c.stroke([(2.0, 39.0), (19.5, 3.5)], 1.2, rgb("#10284a"))
    c.poly([(1.0, 40.5), (2.4, 36.0), (3.8, 36.8)], rgb("#10284a"))
    return c.result()


def logo():
    img = Image.new("RGB", (85, 41), (255, 255, 255))
    q = quill(23, 41)
    img.paste(q, (1, 0), q)
    ink = (16, 40, 74)
    lettering(img, 24, 12, "Quillmark", ink)
    # green rule under the word, the colour of the check mark
    for x in range(24, 84):
        img.putpixel((x, 26), (46, 154, 58))
        img.putpixel((x, 27), (46, 154, 58))
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
    art = {
        "identical.ico": [status_identical()],
        "not_identical.ico": [status_not_identical()],
        "updated.ico": [status_updated()],
        "qmverify.ico": [app_icon(16), app_icon(32), app_icon(48)],
        "exit.ico": [icon_exit()],
        "settings.ico": [icon_settings()],
        "compare.ico": [icon_compare()],
    }
    for name, images in art.items():
        write_ico(os.path.join(RES, name), images)
    shown = write_bmp16(os.path.join(RES, "logo.bmp"), logo())
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        items = [(n, i) for n, imgs in art.items() for i in imgs] + [("logo", shown)]
        preview(sys.argv[2], items)


if __name__ == "__main__":
    main()
