#!/usr/bin/python3
"""Makes the phone-like test pictures into OUTDIR.

Every picture shows the same upright scene, 64 x 48 pixels: a red band along the top edge with
a green mark at its left end, grey below. Stored pictures are turned or mirrored so that only
their EXIF orientation makes them upright again.

  orientation-N.jpg  N = 1..8, stored turned, EXIF Orientation=N, date taken and GPS
  photo.heic         HEIC with the same EXIF (date taken, GPS)
  transparent.png    PNG whose right half is fully transparent (comes out white)
  photo.webp         lossless WebP
  photo.tif, photo.bmp
  damaged.jpg        a JPEG with two bytes of its scan overwritten by a marker; djpeg decodes
                     it with a warning
  not-a-picture.png  text under a picture's name

Needs cjpeg and djpeg (libjpeg-turbo-progs), cwebp (webp) and heif-enc (libheif-examples).
"""
import os
import struct
import subprocess
import sys
import zlib

WIDTH, HEIGHT = 64, 48
RED, GREEN, GREY = (220, 30, 30), (30, 200, 30), (128, 128, 128)
DATE_TAKEN = b"2023:07:14 18:30:05\0"


def upright():
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            if y < 12:
                row.append(GREEN if x < 16 else RED)
            else:
                row.append(GREY)
        rows.append(row)
    return rows


def stored(pixels, orientation):
    """The stored pixels that orientation `orientation` turns into `pixels`."""
    h, w = len(pixels), len(pixels[0])
    # Inverse of "stored -> upright": 6 and 8 swap, the others undo themselves.
    inverse = {6: 8, 8: 6}.get(orientation, orientation)
    if inverse == 1:
        return pixels
    if inverse == 2:
        return [row[::-1] for row in pixels]
    if inverse == 3:
        return [row[::-1] for row in pixels[::-1]]
    if inverse == 4:
        return pixels[::-1]
    if inverse == 5:  # transpose
        return [[pixels[y][x] for y in range(h)] for x in range(w)]
    if inverse == 6:  # quarter turn clockwise
        return [[pixels[h - 1 - y][x] for y in range(h)] for x in range(w)]
    if inverse == 7:  # transverse
        return [[pixels[h - 1 - y][w - 1 - x] for y in range(h)] for x in range(w)]
    if inverse == 8:  # quarter turn anticlockwise
        return [[pixels[y][w - 1 - x] for y in range(h)] for x in range(w)]
    raise ValueError(orientation)


def ppm(pixels):
    h, w = len(pixels), len(pixels[0])
    body = bytes(c for row in pixels for p in row for c in p)
    return b"P6\n%d %d\n255\n" % (w, h) + body


def exif_tiff(orientation):
    """A little-endian TIFF block: Orientation, date taken (Exif IFD) and a GPS position."""
    entries0 = 3
    ifd0 = 8
    exif_ifd = ifd0 + 2 + 12 * entries0 + 4
    gps_ifd = exif_ifd + 2 + 12 + 4
    date_at = gps_ifd + 2 + 12 * 2 + 4
    lat_at = date_at + len(DATE_TAKEN)
    out = b"II*\0" + struct.pack("<I", ifd0)
    out += struct.pack("<H", entries0)
    out += struct.pack("<HHIHH", 0x0112, 3, 1, orientation, 0)
    out += struct.pack("<HHII", 0x8769, 4, 1, exif_ifd)
    out += struct.pack("<HHII", 0x8825, 4, 1, gps_ifd)
    out += struct.pack("<I", 0)
    out += struct.pack("<H", 1) + struct.pack("<HHII", 0x9003, 2, len(DATE_TAKEN), date_at)
    out += struct.pack("<I", 0)
    out += struct.pack("<H", 2)
    out += struct.pack("<HHI", 0x0001, 2, 2) + b"N\0\0\0"
    out += struct.pack("<HHII", 0x0002, 5, 3, lat_at)
    out += struct.pack("<I", 0)
    out += DATE_TAKEN
    out += struct.pack("<6I", 48, 1, 8, 1, 3030, 100)
    return out


def with_exif(jpeg, tiff):
    segment = b"Exif\0\0" + tiff
    app1 = b"\xff\xe1" + struct.pack(">H", len(segment) + 2) + segment
    # Replace the JFIF segment cjpeg writes, as cameras do.
    assert jpeg[2:4] == b"\xff\xe0"
    jfif_end = 4 + struct.unpack(">H", jpeg[4:6])[0]
    return jpeg[:2] + app1 + jpeg[jfif_end:]


def cjpeg(pixels, quality=95):
    return subprocess.run(["cjpeg", "-quality", str(quality)], input=ppm(pixels),
                          check=True, capture_output=True).stdout


def png(pixels, alpha=None):
    h, w = len(pixels), len(pixels[0])
    kind = 6 if alpha else 2
    raw = b""
    for y, row in enumerate(pixels):
        raw += b"\0"
        for x, p in enumerate(row):
            raw += bytes(p) + (bytes([alpha(x, y)]) if alpha else b"")

    def chunk(name, data):
        return (struct.pack(">I", len(data)) + name + data +
                struct.pack(">I", zlib.crc32(name + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, kind, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def bmp(pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = b""
    for row in reversed(pixels):
        line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
        body += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + body


def tiff(pixels):
    h, w = len(pixels), len(pixels[0])
    body = bytes(c for row in pixels for p in row for c in p)
    entries = [(256, 3, 1, w), (257, 3, 1, h), (258, 3, 3, 8 + len(body)), (259, 3, 1, 1),
               (262, 3, 1, 2), (273, 4, 1, 8), (277, 3, 1, 3), (278, 3, 1, h),
               (279, 4, 1, len(body))]
    ifd_at = 8 + len(body) + 6
    out = b"II*\0" + struct.pack("<I", ifd_at) + body + struct.pack("<3H", 8, 8, 8)
    out += struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        out += struct.pack("<HHI", tag, kind, count)
        out += struct.pack("<HH", value, 0) if kind == 3 and count == 1 else struct.pack("<I", value)
    return out + struct.pack("<I", 0)


def damaged(out):
    # A larger picture with detail, so the scan is long; two bytes in its middle become a
    # restart marker, which libjpeg reports as "premature end of data segment" and skips.
    w, h = 256, 192
    pixels = [[((x * 7 + y * 3) % 256, (x * y) % 256, (x ^ y) % 256) for x in range(w)]
              for y in range(h)]
    jpeg = bytearray(cjpeg(pixels, 90))
    sos = jpeg.index(b"\xff\xda")
    middle = sos + (len(jpeg) - sos) // 2
    jpeg[middle:middle + 2] = b"\xff\xd5"
    path = os.path.join(out, "damaged.jpg")
    with open(path, "wb") as f:
        f.write(jpeg)
    result = subprocess.run(["djpeg", "-outfile", os.devnull, path], capture_output=True)
    if result.returncode != 2:  # djpeg's "decoded with warnings"
        sys.exit("damaged.jpg: djpeg did not decode it with a warning")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-photos.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    scene = upright()

    def write(name, data):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)

    for orientation in range(1, 9):
        write("orientation-%d.jpg" % orientation,
              with_exif(cjpeg(stored(scene, orientation)), exif_tiff(orientation)))

    # heif-enc carries the EXIF of a JPEG source over into the HEIC.
    write("heif-source.jpg", with_exif(cjpeg(scene), exif_tiff(1)))
    subprocess.run(["heif-enc", "-q", "90", "-o", os.path.join(out, "photo.heic"),
                    os.path.join(out, "heif-source.jpg")], check=True, capture_output=True)
    os.remove(os.path.join(out, "heif-source.jpg"))

    write("transparent.png", png(scene, lambda x, y: 255 if x < WIDTH // 2 else 0))
    write("plain.png", png(scene))
    subprocess.run(["cwebp", "-quiet", "-lossless", os.path.join(out, "plain.png"), "-o",
                    os.path.join(out, "photo.webp")], check=True, capture_output=True)
    os.remove(os.path.join(out, "plain.png"))
    write("photo.tif", tiff(scene))
    write("photo.bmp", bmp(scene))
    damaged(out)
    write("not-a-picture.png", b"This is a shopping list, not a picture.\n")


if __name__ == "__main__":
    main()
