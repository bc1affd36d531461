#!/usr/bin/python3
"""Makes the picture corpus beside this script: small pictures written by
other programs (ImageMagick 6, netpbm, Python PIL) in every format and depth
the picture decoders read, and a few crafted here with struct where no tool
writes that layout. Beside each file NAME goes NAME.pam: its pixels as the
reference decoder reads them, as RGB_ALPHA with MAXVAL 255 (65535 for 16-bit
sources).

The script stops when a tool writes another layout than the one listed for
its file (depth, colour type, header, sampling), when ImageMagick and PIL
read a file differently, except where a known convention differs (listed in
KNOWN_DIFFERENCES, which names the reference taken), and when a crafted file
does not show the picture it was crafted from. Its output is the same on
every run.

Needs Debian's python3 and: apt-get install imagemagick netpbm python3-pil
Run: /usr/bin/python3 tests/forms/pictures/corpus/make-corpus.py
"""

import io
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"  # ImageMagick 6
W, H = 21, 13  # odd sizes, so that rows of every depth need padding


# ---------------------------------------------------------------- sources

def colourful():
    im = Image.new("RGB", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), ((x * 12 + y * 3) % 256, (y * 20 + x * 2) % 256, (250 - x * 11 - y * 5) % 256))
    return im


def translucent():
    """Alpha of every kind: fully clear, fully opaque and in between."""
    im = Image.new("RGBA", (W, H))
    for y in range(H):
        for x in range(W):
            a = 0 if (x + y) % 5 == 0 else 255 if (x * y) % 3 == 0 else (x * 12 + y * 7 + 10) % 256
            im.putpixel((x, y), ((x * 12) % 256, (y * 19 + 40) % 256, (x * y * 3) % 256, a))
    return im


def with_binary_alpha():
    """Clear where the translucent picture is below half, opaque elsewhere."""
    im = translucent()
    return Image.merge("RGBA", im.split()[:3] + (im.split()[3].point(lambda a: 255 if a >= 128 else 0),))


PALETTE16 = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255),
             (128, 128, 128), (10, 20, 30), (200, 100, 50), (50, 100, 200), (0, 0, 0), (255, 255, 255),
             (99, 0, 0), (0, 99, 0), (0, 0, 99), (77, 77, 77)]


def few_colours(n, size=(W, H)):
    """A picture of the first n colours of PALETTE16 (n <= 16)."""
    im = Image.new("RGB", size)
    for y in range(size[1]):
        for x in range(size[0]):
            im.putpixel((x, y), PALETTE16[(x + 2 * y + x * y // 4) % n])
    return im


def indexed(n):
    """A palette picture of n colours (up to 256), each used."""
    im = Image.new("P", (W, H))
    palette = []
    for i in range(n):
        palette += [(i * 37) % 256, (i * 91 + 20) % 256, (255 - i * 53) % 256]
    im.putpalette(palette + [0, 0, 0] * (256 - n))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), (x + W * y) % n)
    return im


def grey_levels(levels):
    im = Image.new("L", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), ((x + 3 * y) % levels) * 255 // (levels - 1))
    return im


def two_colours():
    im = Image.new("1", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), 255 if (x * 3 + y + x // 5) % 2 else 0)
    return im


def write_pnm16(path, channels, alpha=False):
    """A 16-bit netpbm file (PGM, PPM or PAM with alpha) whose samples all
    differ in their low byte, so that a reader's reduction to 8 bits shows."""
    depth = channels + (1 if alpha else 0)
    samples = []
    for y in range(H):
        for x in range(W):
            for c in range(channels):
                samples.append((x * 3109 + y * 4001 + c * 17011 + 255) % 65536)
            if alpha:
                samples.append(0 if (x + y) % 6 == 0 else (x * 2999 + y * 1777 + 60000) % 65536)
    body = struct.pack(">%dH" % len(samples), *samples)
    if alpha:
        tuple_type = "GRAYSCALE_ALPHA" if channels == 1 else "RGB_ALPHA"
        header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 65535\nTUPLTYPE %s\nENDHDR\n" % (W, H, depth, tuple_type)
    else:
        header = "%s\n%d %d\n65535\n" % ("P5" if channels == 1 else "P6", W, H)
    with open(path, "wb") as f:
        f.write(header.encode() + body)


# ---------------------------------------------------------------- tools

def run(args):
    """The standard output of a program."""
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True).stdout


def convert(source, target, *options):
    # Without dates, so that the files come out the same on every run.
    run([CONVERT, source, *options, "-define", "png:exclude-chunks=date,time", target])


def netpbm(pipeline, target):
    """Runs a shell pipeline of netpbm programs into target."""
    with open(target, "wb") as out:
        subprocess.run(pipeline, shell=True, stdout=out, stderr=subprocess.DEVNULL, check=True)


# ---------------------------------------------------------------- crafted files

def dib(im, bits, *, icon_mask=None, compression=0, masks=None):
    """A bitmap (info header, masks, palette, rows) of im: "P" for 1/4/8 bits,
    "RGB"/"RGBA" otherwise. icon_mask (a function of x, y) makes it an icon's
    bitmap: double height and an AND mask after the rows."""
    width, height = im.size
    palette = b""
    colours = 0
    if bits <= 8:
        pal = im.getpalette()[: 3 * (1 << bits)]
        pal += [0] * (3 * (1 << bits) - len(pal))
        colours = 1 << bits
        palette = b"".join(struct.pack("<BBBB", pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0) for i in range(colours))
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            if bits <= 8:
                index = im.getpixel((x, y))
                row[x * bits // 8] |= index << (8 - bits - (x * bits) % 8)
            elif bits == 16:
                r, g, b = im.getpixel((x, y))[:3]
                if masks and masks[1] == 0x07E0:
                    v = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                else:
                    v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                struct.pack_into("<H", row, 2 * x, v)
            elif bits == 24:
                r, g, b = im.getpixel((x, y))[:3]
                row[3 * x: 3 * x + 3] = bytes((b, g, r))
            else:
                p = im.getpixel((x, y))
                r, g, b, a = p if len(p) == 4 else p + (0,)
                if masks == (0xFF000000, 0x00FF0000, 0x0000FF00):
                    row[4 * x: 4 * x + 4] = bytes((0, b, g, r))
                else:
                    row[4 * x: 4 * x + 4] = bytes((b, g, r, a))
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom row first
    if icon_mask:
        mask_stride = (width + 31) // 32 * 4
        mask_rows = []
        for y in range(height):
            row = bytearray(mask_stride)
            for x in range(width):
                if icon_mask(x, y):
                    row[x // 8] |= 0x80 >> (x % 8)
            mask_rows.append(bytes(row))
        pixels += b"".join(reversed(mask_rows))
    stored_height = 2 * height if icon_mask else height
    info = struct.pack("<IiiHHIIiiII", 40, width, stored_height, 1, bits, compression, len(pixels),
                       2835, 2835, colours, 0)
    mask_bytes = b"".join(struct.pack("<I", m) for m in masks) if masks else b""
    return info + mask_bytes + palette + pixels


def bmp_file(dib_bytes, palette_and_masks_end):
    """A bitmap file of a bitmap whose rows start palette_and_masks_end bytes in."""
    return b"BM" + struct.pack("<IHHI", 14 + len(dib_bytes), 0, 0, 14 + palette_and_masks_end) + dib_bytes


def rle4_file(im):
    """A 4-bit run-length encoded bitmap of a 16-colour "P" picture: runs of
    two alternating colours, literal groups (padded to 16 bits), ends of rows
    and the end of the picture."""
    width, height = im.size
    out = bytearray()
    for y in reversed(range(height)):
        row = [im.getpixel((x, y)) for x in range(width)]
        x = 0
        while x < width:
            n = 1
            while x + n < width and n < 255 and row[x + n] == row[x + n % 2]:
                n += 1
            if n >= 3 or width - x < 3:
                out += bytes((n, row[x] << 4 | row[x + 1 if n > 1 else x]))
                x += n
                continue
            n = min(width - x, 7)  # a literal group of up to 7 pixels
            out += bytes((0, n))
            packed = bytearray((n + 1) // 2)
            for k in range(n):
                packed[k // 2] |= row[x + k] << (4 if k % 2 == 0 else 0)
            if len(packed) % 2:
                packed.append(0)
            out += packed
            x += n
        out += b"\x00\x00"
    out[-2:] = b"\x00\x01"  # the last end of row becomes the end of the picture
    pal = im.getpalette()[:48]
    palette = b"".join(struct.pack("<BBBB", pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0) for i in range(16))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(out), 2835, 2835, 16, 0)
    return bmp_file(info + palette + bytes(out), 40 + len(palette))


def flipped_to_top_down(path):
    """The tool's bottom-up bitmap rewritten top-down: negative height, rows reversed."""
    data = bytearray(open(path, "rb").read())
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    stride = (width * bits + 31) // 32 * 4
    rows = [bytes(data[offset + i * stride: offset + (i + 1) * stride]) for i in range(height)]
    data[offset: offset + stride * height] = b"".join(reversed(rows))
    struct.pack_into("<i", data, 22, -height)
    return bytes(data)


def icon_file(kind, images):
    """An icon (kind 1) or cursor (kind 2) of (width, height, bits, bytes) images."""
    directory = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for width, height, bits, data in images:
        # Cursors keep a hot spot where icons keep planes and bit count.
        extra = struct.pack("<HH", 1, bits) if kind == 1 else struct.pack("<HH", width // 2, height // 2)
        directory += struct.pack("<BBBB", width % 256, height % 256, 0, 0) + extra
        directory += struct.pack("<II", len(data), offset)
        offset += len(data)
        body += data
    return directory + body


def as_cursor(path):
    """A tool's icon file turned into a cursor: type 2, hot spots in the middle."""
    data = bytearray(open(path, "rb").read())
    struct.pack_into("<H", data, 2, 2)
    for i in range(struct.unpack_from("<H", data, 4)[0]):
        e = 6 + 16 * i
        width, height = data[e] or 256, data[e + 1] or 256
        struct.pack_into("<HH", data, e + 4, width // 2, height // 2)
    return bytes(data)


def cut_out(x, y):
    """The pixels that crafted icon masks clear."""
    return (x * 2 + y * 3) % 7 < 2 or x == 0 or y == H - 1


def masked(im):
    """What an icon of im with the crafted AND mask shows."""
    im = im.convert("RGBA")
    for y in range(H):
        for x in range(W):
            if cut_out(x, y):
                im.putpixel((x, y), (0, 0, 0, 0))
    return im


# ---------------------------------------------------------------- layouts

def describe(data):
    """A short account of the layout of picture file bytes."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height, depth, colour, _, _, interlace = struct.unpack_from(">IIBBBBB", data, 16)
        kinds = {0: "grey", 2: "RGB", 3: "palette", 4: "grey+alpha", 6: "RGBA"}
        trns = " tRNS" if b"tRNS" in data else ""
        return "PNG %d-bit %s%s%s" % (depth, kinds[colour], trns, " interlaced" if interlace else "")
    if data[:2] == b"BM":
        size, = struct.unpack_from("<I", data, 14)
        if size == 12:
            bits, = struct.unpack_from("<H", data, 24)
            return "BMP core header %d-bit" % bits
        height, = struct.unpack_from("<i", data, 22)
        bits, compression = struct.unpack_from("<HI", data, 28)
        order = " top-down" if height < 0 else ""
        return "BMP %d-byte header %d-bit compression %d%s" % (size, bits, compression, order)
    if data[:4] in (b"\0\0\1\0", b"\0\0\2\0"):
        kind = "ICO" if data[2] == 1 else "CUR"
        entries = []
        for i in range(struct.unpack_from("<H", data, 4)[0]):
            offset, = struct.unpack_from("<I", data, 6 + 16 * i + 12)
            if data[offset: offset + 4] == b"\x89PNG":
                entries.append("PNG")
            else:
                width, height, _, bits = struct.unpack_from("<iiHH", data, offset + 4)
                entries.append("%dx%d %d-bit" % (width, height // 2, bits))
        return "%s %s" % (kind, ", ".join(entries))
    if data[:3] == b"GIF":
        return describe_gif(data)
    if data[:1] == b"\x0a":
        return "PCX version %d %d-bit %d plane(s)" % (data[1], data[3], data[65])
    if data[:2] == b"\xff\xd8":
        i = 2
        while i < len(data):
            marker = data[i + 1]
            length, = struct.unpack_from(">H", data, i + 2)
            if marker in (0xC0, 0xC1, 0xC2):
                count = data[i + 9]
                sampling = ["%dx%d" % (data[i + 11 + 3 * c] >> 4, data[i + 11 + 3 * c] & 15) for c in range(count)]
                adobe = " Adobe" if b"Adobe" in data[:i] else ""
                return "JPEG %s %d components %s%s" % ("progressive" if marker == 0xC2 else "sequential", count,
                                                      ",".join(sampling), adobe)
            i += 2 + length
    return "?"


def describe_gif(data):
    """Version, frame count, and the first frame's interlacing and transparency."""
    def skip_blocks(i):
        while data[i]:
            i += data[i] + 1
        return i + 1

    i = 13 + (3 << ((data[10] & 7) + 1) if data[10] & 0x80 else 0)
    frames, first, transparent = 0, "", False
    while data[i] != 0x3B:
        if data[i] == 0x21:
            if data[i + 1] == 0xF9 and frames == 0:
                transparent = bool(data[i + 3] & 1)
            i = skip_blocks(i + 2)
        else:
            flags = data[i + 9]
            if frames == 0:
                first = " interlaced" if flags & 0x40 else ""
            frames += 1
            i += 10 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
            i = skip_blocks(i + 1)
    return "%s %d frame(s)%s%s" % (data[:6].decode(), frames, first, " transparent" if transparent else "")


# ---------------------------------------------------------------- reference decoding

def parse_pam(data):
    """(width, height, maxval, rgba samples) of a PAM file of grey or RGB, with or without alpha."""
    head, _, body = data.partition(b"ENDHDR\n")
    if not head.startswith(b"P7"):
        raise ValueError("not a PAM file")
    fields = dict(line.split(b" ", 1) for line in head.split(b"\n")[1:] if b" " in line)
    width, height, depth, maxval = (int(fields[k]) for k in (b"WIDTH", b"HEIGHT", b"DEPTH", b"MAXVAL"))
    if b"CMYK" in fields.get(b"TUPLTYPE", b""):
        raise ValueError("pixels still in CMYK")
    size = 2 if maxval > 255 else 1
    count = width * height * depth
    values = struct.unpack(">%d%s" % (count, "H" if size == 2 else "B"), body[: count * size])
    rgba = []
    for i in range(width * height):
        s = values[i * depth: (i + 1) * depth]
        if depth == 1:
            rgba += [s[0], s[0], s[0], maxval]
        elif depth == 2:
            rgba += [s[0], s[0], s[0], s[1]]
        elif depth == 3:
            rgba += [s[0], s[1], s[2], maxval]
        else:
            rgba += list(s)
    return width, height, maxval, rgba


def magick_pixels(path, frame, sixteen):
    try:
        depth = "16" if sixteen else "8"
        data = run([CONVERT, "%s[%d]" % (path, frame), "-colorspace", "sRGB", "-depth", depth, "pam:-"])
    except subprocess.CalledProcessError:
        return None
    return parse_pam(data)


def icon_entry_size(data, frame):
    """The size of an icon's entry `frame` (in directory order) as its bitmap or PNG header gives it."""
    offset, = struct.unpack_from("<I", data, 6 + 16 * frame + 12)
    if data[offset: offset + 4] == b"\x89PNG":
        return struct.unpack_from(">II", data, offset + 16)
    width, height = struct.unpack_from("<ii", data, offset + 4)
    return width, height // 2


def pil_pixels(path, frame):
    data = open(path, "rb").read()
    if data[:4] == b"\0\0\2\0":
        # PIL's cursor reader leaves out the AND mask; its icon reader on the
        # same bytes does not.
        data = b"\0\0\1\0" + data[4:]
    im = Image.open(io.BytesIO(data))
    if im.format == "ICO":
        im = im.ico.getimage(icon_entry_size(data, frame))  # PIL counts entries by size, not in directory order
    if im.mode in ("I", "I;16", "I;16B"):
        return None  # PIL cannot give 16-bit grey as RGBA without clipping
    try:
        im = im.convert("RGBA")
    except (OSError, ValueError):
        return None
    return im.width, im.height, 255, [v for p in im.getdata() for v in p]


def write_pam(path, width, height, maxval, rgba):
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL %d\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (width, height, maxval)
    fmt = ">%dH" if maxval > 255 else ">%dB"
    with open(path, "wb") as f:
        f.write(header.encode() + struct.pack(fmt % len(rgba), *rgba))


def difference(a, b, top_bits=None):
    """The largest difference of two decodings (alpha-only where both are
    clear), both at 8 bits; top_bits compares colour channels by their top
    bits only (a bitmap's 5- and 6-bit samples scaled up either way)."""
    (wa, ha, ma, pa), (wb, hb, mb, pb) = a, b
    if (wa, ha) != (wb, hb):
        return 999
    pa = [v >> 8 for v in pa] if ma > 255 else pa
    pb = [v >> 8 for v in pb] if mb > 255 else pb
    worst = 0
    for i in range(0, len(pa), 4):
        if pa[i + 3] == 0 and pb[i + 3] == 0:
            continue
        for c in range(4):
            x, y = pa[i + c], pb[i + c]
            if top_bits and c < 3:
                keep = top_bits[c]
                x, y = x >> (8 - keep), y >> (8 - keep)
            worst = max(worst, abs(x - y))
    return worst


# ---------------------------------------------------------------- the corpus

# name -> one line on what the reference tools do differently, where the
# reference is then taken from the other one.
KNOWN_DIFFERENCES = {
    "bmp-rle4.bmp": "PIL drops the last pixel of a literal group of odd length in 4-bit run-length rows: "
                    "reference ImageMagick",
    "bmp-32-bgra-plain.bmp": "ImageMagick takes the fourth byte of a 32-bit bitmap without colour masks as "
                             "alpha; PIL, like the decoder, ignores it: reference PIL",
    "pcx-1.pcx": "ImageMagick draws bit 0 of a 1-bit PCX white whatever the palette; PIL, like the decoder "
                 "and the picture written, black: reference PIL",
    "ico-mask-16.ico": "ImageMagick reads no 16-bit icon entries: reference PIL",
    "ico-mask-32-no-alpha.ico": "both tools show a 32-bit entry whose alpha is all zero fully clear; the decoder "
                                "cuts it out by its AND mask as the system draws such icons: reference the "
                                "picture crafted",
    "cur-32.cur": "PIL's icon reader takes the bit count from the directory, where a cursor keeps its hot "
                  "spot, and misses the alpha: reference ImageMagick",
}


def make(tmp):
    """Writes every corpus file; gives [(name, maker, frame, reference, sixteen, top_bits, tolerance, truth)].
    truth, for files crafted here, is the picture they were made to show."""
    files = []

    def add(name, layout, maker, frame=0, reference="magick", sixteen=False, top_bits=None, tolerance=0, truth=None):
        written = describe(open(os.path.join(HERE, name), "rb").read())
        if written != layout:
            sys.exit("%s: %s wrote %s, not %s" % (name, maker, written, layout))
        files.append((name, maker, frame, reference, sixteen, top_bits, tolerance, truth))

    def out(name):
        return os.path.join(HERE, name)

    def src(name, im):
        path = os.path.join(tmp, name)
        im.save(path)
        return path

    rgb = src("rgb.png", colourful())
    rgba = src("rgba.png", translucent())
    binary = src("binary.png", with_binary_alpha())
    p16 = src("p16.png", few_colours(16))
    pal200 = indexed(200)
    p200 = src("p200.png", pal200)
    two = src("two.png", few_colours(2))
    bw = src("bw.pbm", two_colours())

    # Bitmaps.
    netpbm("pngtopam %s | ppmtobmp -windows -bpp 1" % two, out("bmp-1.bmp"))
    add("bmp-1.bmp", "BMP 40-byte header 1-bit compression 0", "netpbm ppmtobmp -bpp 1")
    netpbm("pngtopam %s | ppmtobmp -windows -bpp 4" % p16, out("bmp-4.bmp"))
    add("bmp-4.bmp", "BMP 40-byte header 4-bit compression 0", "netpbm ppmtobmp -bpp 4")
    pal200.save(out("bmp-8.bmp"))
    add("bmp-8.bmp", "BMP 40-byte header 8-bit compression 0", "PIL, mode P")
    convert(p200, "BMP:" + out("bmp-8-v5.bmp"), "-type", "Palette", "-compress", "None")
    add("bmp-8-v5.bmp", "BMP 124-byte header 8-bit compression 0", "ImageMagick BMP -type Palette -compress None")
    convert(p16, "BMP3:" + out("bmp-rle8.bmp"), "-type", "Palette", "-compress", "RLE")
    add("bmp-rle8.bmp", "BMP 40-byte header 8-bit compression 1", "ImageMagick BMP3 -compress RLE")
    open(out("bmp-rle4.bmp"), "wb").write(rle4_file(indexed(16)))
    add("bmp-rle4.bmp", "BMP 40-byte header 4-bit compression 2", "crafted here (no tool writes RLE4)",
        truth=indexed(16))
    convert(rgb, "BMP:" + out("bmp-16-555.bmp"), "-define", "bmp:subtype=RGB555")
    add("bmp-16-555.bmp", "BMP 124-byte header 16-bit compression 3", "ImageMagick bmp:subtype=RGB555",
        top_bits=(5, 5, 5))
    convert(rgb, "BMP:" + out("bmp-16-565.bmp"), "-define", "bmp:subtype=RGB565")
    add("bmp-16-565.bmp", "BMP 124-byte header 16-bit compression 3", "ImageMagick bmp:subtype=RGB565",
        top_bits=(5, 6, 5))
    open(out("bmp-16-plain.bmp"), "wb").write(bmp_file(dib(colourful(), 16), 40))
    add("bmp-16-plain.bmp", "BMP 40-byte header 16-bit compression 0", "crafted here (no masks: 5-5-5)",
        top_bits=(5, 5, 5), truth=colourful())
    netpbm("pngtopam %s | ppmtobmp -windows -bpp 24" % rgb, out("bmp-24.bmp"))
    add("bmp-24.bmp", "BMP 40-byte header 24-bit compression 0", "netpbm ppmtobmp -bpp 24")
    convert(rgba, "BMP:" + out("bmp-32-alpha.bmp"))
    add("bmp-32-alpha.bmp", "BMP 124-byte header 32-bit compression 3", "ImageMagick BMP, alpha mask")
    Image.open(rgba).save(out("bmp-32-bgra-plain.bmp"))
    add("bmp-32-bgra-plain.bmp", "BMP 40-byte header 32-bit compression 0", "PIL, mode RGBA (no masks)",
        reference="pil")
    masks = (0xFF000000, 0x00FF0000, 0x0000FF00)
    open(out("bmp-32-bitfields.bmp"), "wb").write(bmp_file(dib(colourful(), 32, compression=3, masks=masks), 52))
    add("bmp-32-bitfields.bmp", "BMP 40-byte header 32-bit compression 3",
        "crafted here (masks without alpha, red in the top byte)", truth=colourful())
    convert(rgb, "BMP2:" + out("bmp-os2-24.bmp"))
    add("bmp-os2-24.bmp", "BMP core header 24-bit", "ImageMagick BMP2")
    convert(p16, "BMP2:" + out("bmp-os2-4.bmp"), "-type", "Palette")
    add("bmp-os2-4.bmp", "BMP core header 4-bit", "ImageMagick BMP2 -type Palette")
    netpbm("pngtopam %s | ppmtobmp -os2 -bpp 8" % p200, out("bmp-os2-8.bmp"))
    add("bmp-os2-8.bmp", "BMP core header 8-bit", "netpbm ppmtobmp -os2 -bpp 8")
    pal200.save(os.path.join(tmp, "p8.bmp"))
    open(out("bmp-topdown-8.bmp"), "wb").write(flipped_to_top_down(os.path.join(tmp, "p8.bmp")))
    add("bmp-topdown-8.bmp", "BMP 40-byte header 8-bit compression 0 top-down", "PIL, mode P, turned top-down here")
    open(out("bmp-topdown-24.bmp"), "wb").write(flipped_to_top_down(out("bmp-24.bmp")))
    add("bmp-topdown-24.bmp", "BMP 40-byte header 24-bit compression 0 top-down",
        "netpbm ppmtobmp -bpp 24, turned top-down here")

    # Icons and cursors. PIL pads the mask rows of its bitmap entries to
    # bytes, not to 32 bits as the format wants; at a width of 32 they agree.
    wide = (32, H)
    two_colours().resize(wide).save(out("ico-1.ico"), sizes=[wide], bitmap_format="bmp")
    add("ico-1.ico", "ICO 32x13 1-bit", "PIL, mode 1, bitmap entry")
    convert(p16, out("ico-4.ico"), "-type", "Palette")
    add("ico-4.ico", "ICO 21x13 4-bit", "ImageMagick -type Palette")
    pal200.resize(wide).save(out("ico-8.ico"), sizes=[wide], bitmap_format="bmp")
    add("ico-8.ico", "ICO 32x13 8-bit", "PIL, mode P, bitmap entry")
    convert(p200, out("ico-8-magick.ico"), "-type", "Palette")
    add("ico-8-magick.ico", "ICO 21x13 8-bit", "ImageMagick -type Palette")
    colourful().resize(wide).save(out("ico-24.ico"), sizes=[wide], bitmap_format="bmp")
    add("ico-24.ico", "ICO 32x13 24-bit", "PIL, mode RGB, bitmap entry (empty mask)")
    convert(rgba, out("ico-32.ico"))
    add("ico-32.ico", "ICO 21x13 32-bit", "ImageMagick, alpha")
    translucent().save(out("ico-png.ico"), sizes=[(W, H)])
    add("ico-png.ico", "ICO PNG", "PIL, PNG entry")
    small = src("small.png", translucent().resize((9, 7)))
    square = src("square.png", colourful().resize((16, 16)))
    large = src("large.png", translucent().resize((24, 17)))
    run([CONVERT, small, large, square, out("ico-sizes.ico")])
    add("ico-sizes.ico", "ICO 9x7 32-bit, 24x17 32-bit, 16x16 32-bit",
        "ImageMagick, three sizes: the largest (second) is shown", frame=1)
    Image.open(large).save(out("ico-sizes-png.ico"), sizes=[(8, 6), (24, 17), (16, 11)])
    add("ico-sizes-png.ico", "ICO PNG, PNG, PNG", "PIL, PNG entries of three sizes: the largest (last) is shown",
        frame=2)
    for bits, im in ((1, indexed(2)), (4, indexed(16)), (8, pal200), (16, colourful()), (24, colourful())):
        name = "ico-mask-%d.ico" % bits
        open(out(name), "wb").write(icon_file(1, [(W, H, bits, dib(im, bits, icon_mask=cut_out))]))
        add(name, "ICO 21x13 %d-bit" % bits, "crafted here (an AND mask)", top_bits=(5, 5, 5) if bits == 16 else None,
            truth=masked(im), reference="pil" if bits == 16 else "magick")
    zero_alpha = Image.merge("RGBA", colourful().split() + (Image.new("L", (W, H), 0),))
    entry = dib(zero_alpha, 32, icon_mask=cut_out)
    open(out("ico-mask-32-no-alpha.ico"), "wb").write(icon_file(1, [(W, H, 32, entry)]))
    add("ico-mask-32-no-alpha.ico", "ICO 21x13 32-bit", "crafted here (alpha all zero, an AND mask)",
        truth=masked(colourful()), reference="crafted")
    open(out("cur-mask-24.cur"), "wb").write(icon_file(2, [(W, H, 24, dib(colourful(), 24, icon_mask=cut_out))]))
    add("cur-mask-24.cur", "CUR 21x13 24-bit", "crafted here (an AND mask)", truth=masked(colourful()))
    open(out("cur-mask-1.cur"), "wb").write(icon_file(2, [(W, H, 1, dib(indexed(2), 1, icon_mask=cut_out))]))
    add("cur-mask-1.cur", "CUR 21x13 1-bit", "crafted here (an AND mask)", truth=masked(indexed(2)))
    open(out("cur-32.cur"), "wb").write(as_cursor(out("ico-32.ico")))
    add("cur-32.cur", "CUR 21x13 32-bit", "ImageMagick icon, alpha, made a cursor here")
    open(out("cur-png.cur"), "wb").write(as_cursor(out("ico-png.ico")))
    add("cur-png.cur", "CUR PNG", "PIL icon, PNG entry, made a cursor here")

    # GIF.
    netpbm("pngtopam %s | pamtogif" % p16, out("gif-87a.gif"))
    add("gif-87a.gif", "GIF87a 1 frame(s)", "netpbm pamtogif")
    convert(p16, out("gif-89a.gif"))
    add("gif-89a.gif", "GIF89a 1 frame(s)", "ImageMagick")
    tall = src("tall.png", few_colours(16, (W, 37)))
    convert(tall, out("gif-interlaced.gif"), "-interlace", "GIF")
    add("gif-interlaced.gif", "GIF89a 1 frame(s) interlaced", "ImageMagick -interlace GIF, 21x37")
    convert(binary, out("gif-transparent.gif"))
    add("gif-transparent.gif", "GIF89a 1 frame(s) transparent", "ImageMagick, binary alpha")
    indexed(16).save(out("gif-transparent-pil.gif"), transparency=3)
    add("gif-transparent-pil.gif", "GIF89a 1 frame(s) transparent", "PIL, transparency=3")
    run([CONVERT, "-delay", "10", p16, rgb, two, out("gif-frames.gif")])
    add("gif-frames.gif", "GIF89a 3 frame(s)", "ImageMagick: the first frame is shown")
    netpbm("pngtopam %s | pamtogif" % two, out("gif-2-colours.gif"))
    add("gif-2-colours.gif", "GIF87a 1 frame(s)", "netpbm pamtogif, two colours")

    # PCX.
    convert(p16, "PCX:" + out("pcx-8.pcx"), "-type", "Palette")
    add("pcx-8.pcx", "PCX version 5 8-bit 1 plane(s)", "ImageMagick -type Palette")
    grey_levels(256).save(out("pcx-8-grey.pcx"))
    add("pcx-8-grey.pcx", "PCX version 5 8-bit 1 plane(s)", "PIL, mode L")
    netpbm("pngtopam %s | ppmtopcx" % rgb, out("pcx-24.pcx"))
    add("pcx-24.pcx", "PCX version 5 8-bit 3 plane(s)", "netpbm ppmtopcx")
    netpbm("ppmtopcx %s" % bw, os.path.join(tmp, "pcx-1.pcx"))
    data = bytearray(open(os.path.join(tmp, "pcx-1.pcx"), "rb").read())
    data[1] = 3  # version 3: the only one read as 1-bit black and white
    open(out("pcx-1.pcx"), "wb").write(bytes(data))
    add("pcx-1.pcx", "PCX version 3 1-bit 1 plane(s)", "netpbm ppmtopcx of a bitmap, version set to 3 here",
        reference="pil", truth=two_colours())

    # PNG.
    netpbm("pamtopnm %s | pnmtopng" % bw, out("png-grey-1.png"))
    add("png-grey-1.png", "PNG 1-bit grey", "netpbm pnmtopng")
    netpbm("pamdepth 3 %s | pnmtopng" % src("grey4.pgm", grey_levels(4)), out("png-grey-2.png"))
    add("png-grey-2.png", "PNG 2-bit grey", "netpbm pamdepth 3 | pnmtopng")
    netpbm("pamdepth 15 %s | pnmtopng" % src("grey16.pgm", grey_levels(16)), out("png-grey-4.png"))
    add("png-grey-4.png", "PNG 4-bit grey", "netpbm pamdepth 15 | pnmtopng")
    grey_levels(256).save(out("png-grey-8.png"))
    add("png-grey-8.png", "PNG 8-bit grey", "PIL, mode L")
    write_pnm16(os.path.join(tmp, "grey16bit.pgm"), 1)
    netpbm("pnmtopng %s" % os.path.join(tmp, "grey16bit.pgm"), out("png-grey-16.png"))
    add("png-grey-16.png", "PNG 16-bit grey", "netpbm pnmtopng", sixteen=True)
    netpbm("pnmtopng -transparent=rgb:20/20/20 %s" % src("grey256.pgm", grey_levels(256)), out("png-grey-8-trns.png"))
    add("png-grey-8-trns.png", "PNG 8-bit grey tRNS", "netpbm pnmtopng -transparent")
    translucent().convert("LA").save(out("png-grey-alpha-8.png"))
    add("png-grey-alpha-8.png", "PNG 8-bit grey+alpha", "PIL, mode LA")
    write_pnm16(os.path.join(tmp, "greya16.pam"), 1, alpha=True)
    convert(os.path.join(tmp, "greya16.pam"), out("png-grey-alpha-16.png"), "-define", "png:color-type=4",
            "-depth", "16")
    add("png-grey-alpha-16.png", "PNG 16-bit grey+alpha", "ImageMagick png:color-type=4 -depth 16", sixteen=True)
    colourful().save(out("png-rgb-8.png"))
    add("png-rgb-8.png", "PNG 8-bit RGB", "PIL, mode RGB")
    netpbm("pngtopam %s | pnmtopng -transparent=rgb:00/00/fa" % rgb, out("png-rgb-8-trns.png"))
    add("png-rgb-8-trns.png", "PNG 8-bit RGB tRNS", "netpbm pnmtopng -transparent")
    write_pnm16(os.path.join(tmp, "rgb16.ppm"), 3)
    netpbm("pnmtopng %s" % os.path.join(tmp, "rgb16.ppm"), out("png-rgb-16.png"))
    add("png-rgb-16.png", "PNG 16-bit RGB", "netpbm pnmtopng", sixteen=True)
    convert(rgba, "PNG32:" + out("png-rgba-8.png"))
    add("png-rgba-8.png", "PNG 8-bit RGBA", "ImageMagick PNG32")
    write_pnm16(os.path.join(tmp, "rgba16.pam"), 3, alpha=True)
    convert(os.path.join(tmp, "rgba16.pam"), "PNG64:" + out("png-rgba-16.png"))
    add("png-rgba-16.png", "PNG 16-bit RGBA", "ImageMagick PNG64", sixteen=True)
    netpbm("pngtopam %s | pnmtopng" % two, out("png-palette-1.png"))
    add("png-palette-1.png", "PNG 1-bit palette", "netpbm pnmtopng, two colours")
    indexed(4).save(out("png-palette-2.png"), bits=2)
    add("png-palette-2.png", "PNG 2-bit palette", "PIL, mode P, bits=2")
    convert(p16, out("png-palette-4.png"), "-define", "png:bit-depth=4", "-define", "png:color-type=3")
    add("png-palette-4.png", "PNG 4-bit palette", "ImageMagick png:color-type=3 png:bit-depth=4")
    pal200.save(out("png-palette-8.png"))
    add("png-palette-8.png", "PNG 8-bit palette", "PIL, mode P")
    indexed(2).save(out("png-palette-1-trns.png"), bits=1, transparency=1)
    add("png-palette-1-trns.png", "PNG 1-bit palette tRNS", "PIL, mode P, bits=1, transparency=1")
    indexed(4).save(out("png-palette-2-trns.png"), bits=2, transparency=bytes((255, 0, 128, 255)))
    add("png-palette-2-trns.png", "PNG 2-bit palette tRNS", "PIL, mode P, bits=2, three alpha values")
    indexed(16).save(out("png-palette-4-trns.png"), bits=4, transparency=bytes((i * 17) % 256 for i in range(16)))
    add("png-palette-4-trns.png", "PNG 4-bit palette tRNS", "PIL, mode P, bits=4, sixteen alpha values")
    pal200.save(out("png-palette-8-trns.png"), transparency=bytes((i * 29) % 256 for i in range(200)))
    add("png-palette-8-trns.png", "PNG 8-bit palette tRNS", "PIL, mode P, 200 alpha values")
    alpha_pgm = src("alpha.pgm", translucent().split()[3].point(lambda a: (a // 64) * 85))
    netpbm("pngtopam %s | pnmtopng -alpha=%s" % (p16, alpha_pgm), out("png-palette-8-trns-netpbm.png"))
    add("png-palette-8-trns-netpbm.png", "PNG 8-bit palette tRNS", "netpbm pnmtopng -alpha, four alpha levels")
    convert(binary, "PNG8:" + out("png-palette-8-trns-magick.png"))
    add("png-palette-8-trns-magick.png", "PNG 8-bit palette tRNS", "ImageMagick PNG8, binary alpha")
    convert(rgba, "PNG32:" + out("png-interlaced-rgba-8.png"), "-interlace", "PNG")
    add("png-interlaced-rgba-8.png", "PNG 8-bit RGBA interlaced", "ImageMagick PNG32 -interlace PNG")
    netpbm("pngtopam %s | pnmtopng -interlace" % p16, out("png-interlaced-palette-4.png"))
    add("png-interlaced-palette-4.png", "PNG 4-bit palette interlaced", "netpbm pnmtopng -interlace")
    netpbm("pnmtopng -interlace %s" % os.path.join(tmp, "rgb16.ppm"), out("png-interlaced-rgb-16.png"))
    add("png-interlaced-rgb-16.png", "PNG 16-bit RGB interlaced", "netpbm pnmtopng -interlace", sixteen=True)
    netpbm("pamdepth 3 %s | pnmtopng -interlace" % src("grey4i.pgm", grey_levels(4)), out("png-interlaced-grey-2.png"))
    add("png-interlaced-grey-2.png", "PNG 2-bit grey interlaced", "netpbm pnmtopng -interlace")

    # JPEG: lossy, so compared within a tolerance (see the test).
    convert(rgb, out("jpeg-grey.jpg"), "-colorspace", "Gray", "-quality", "90")
    add("jpeg-grey.jpg", "JPEG sequential 1 components 1x1", "ImageMagick -colorspace Gray", tolerance=1)
    convert(rgb, out("jpeg-444.jpg"), "-sampling-factor", "1x1", "-quality", "90")
    add("jpeg-444.jpg", "JPEG sequential 3 components 1x1,1x1,1x1", "ImageMagick -sampling-factor 1x1", tolerance=1)
    colourful().save(out("jpeg-420.jpg"), quality=90, subsampling=2)
    add("jpeg-420.jpg", "JPEG sequential 3 components 2x2,1x1,1x1", "PIL subsampling=2", tolerance=1)
    convert(rgb, out("jpeg-422.jpg"), "-sampling-factor", "2x1", "-quality", "90")
    add("jpeg-422.jpg", "JPEG sequential 3 components 2x1,1x1,1x1", "ImageMagick -sampling-factor 2x1", tolerance=1)
    convert(rgb, out("jpeg-progressive.jpg"), "-interlace", "JPEG", "-sampling-factor", "2x2", "-quality", "90")
    add("jpeg-progressive.jpg", "JPEG progressive 3 components 2x2,1x1,1x1", "ImageMagick -interlace JPEG",
        tolerance=1)
    grey_levels(256).save(out("jpeg-progressive-grey.jpg"), quality=90, progressive=True)
    add("jpeg-progressive-grey.jpg", "JPEG progressive 1 components 1x1", "PIL, mode L, progressive", tolerance=1)
    colourful().convert("CMYK").save(out("jpeg-cmyk.jpg"), quality=90)
    add("jpeg-cmyk.jpg", "JPEG sequential 4 components 1x1,1x1,1x1,1x1 Adobe", "PIL, mode CMYK (inverted CMYK)",
        tolerance=1)
    convert(rgb, out("jpeg-ycck.jpg"), "-colorspace", "CMYK", "-quality", "90")
    add("jpeg-ycck.jpg", "JPEG sequential 4 components 1x1,1x1,1x1,1x1 Adobe",
        "ImageMagick -colorspace CMYK (inverted YCCK)", tolerance=1)
    return files


def agreement(name, magick, pil, top_bits, tolerance):
    """How the two reference decoders compare on a file, and whether that is expected."""
    if magick is None or pil is None:
        said = "%s cannot read it" % ("ImageMagick" if magick is None else "PIL")
        return said, name in KNOWN_DIFFERENCES or (pil is None and magick is not None and magick[2] > 255)
    worst = difference(magick, pil, top_bits)
    if worst <= tolerance:
        return "agree", name not in KNOWN_DIFFERENCES or KNOWN_DIFFERENCES[name].startswith("both tools")
    return "differ by %d" % worst, name in KNOWN_DIFFERENCES


def main():
    for stale in os.listdir(HERE):
        if stale.endswith((".bmp", ".ico", ".cur", ".gif", ".pcx", ".png", ".jpg", ".pam")):
            os.remove(os.path.join(HERE, stale))
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name, maker, frame, reference, sixteen, top_bits, tolerance, truth in make(tmp):
            path = os.path.join(HERE, name)
            magick = magick_pixels(path, frame, sixteen)
            pil = pil_pixels(path, frame)
            said, expected = agreement(name, magick, pil, top_bits, tolerance)
            chosen = pil if reference == "pil" else magick
            if truth is not None:
                truth = truth.convert("RGBA")
                shown = (truth.width, truth.height, 255, [v for p in truth.getdata() for v in p])
                chosen = shown if reference == "crafted" else chosen
                if chosen is None or difference(chosen, shown, top_bits):
                    expected = False
                    said += ", but the reference does not show the picture crafted"
            if not expected or chosen is None:
                failures += 1
                said += "  <-- UNEXPECTED"
            else:
                write_pam(path + ".pam", *chosen)
            print("%-28s %-72s ref %-6s %s" % (name, maker, reference, said))
    for name, why in KNOWN_DIFFERENCES.items():
        print("known: %s: %s" % (name, why))
    if failures:
        sys.exit("%d files without a sure reference" % failures)


if __name__ == "__main__":
    main()
