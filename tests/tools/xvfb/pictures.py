#!/usr/bin/env python3
"""Pictures for the real-window tests: reads X window dumps (xwd) and PNG files, writes PNG, and
compares two pictures pixel for pixel.

  pictures.py png IN OUT.png                  a window dump or PNG as an RGB PNG
  pictures.py same A B                        A and B have the same size and pixels
  pictures.py scaled SMALL BIG FACTOR         BIG is SMALL with every pixel repeated FACTOR times
  pictures.py differ A B X Y W H              the pictures differ inside the area (they may agree
                                              elsewhere)
  pictures.py same-area A B X Y W H           the pictures agree inside the area
  pictures.py not-repeated A X Y W H FACTOR   inside the area, the picture is not made of blocks of
                                              FACTOR x FACTOR equal pixels (it was not enlarged by
                                              repeating pixels): at most 90 % of the blocks are

Exit status 0 when the check holds, 1 with a line naming the first difference otherwise.
"""
import struct
import sys
import zlib


class Picture:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb  # bytes, 3 per pixel, rows top-down

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def read_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    (header_size, version, pixmap_format, _depth, width, height, _xoffset, byte_order, _unit, _bit_order,
     _pad, bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_rgb, _entries,
     ncolors) = fields[:20]
    if version != 7 or pixmap_format != 2 or bits_per_pixel != 32:
        raise ValueError("only 32-bit ZPixmap window dumps are read")
    start = header_size + ncolors * 12
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rgb = bytearray(width * height * 3)
    # The usual layout (bytes blue, green, red, pad in the file) is copied by slices.
    usual = (red_mask, green_mask, blue_mask) == (0xFF0000, 0xFF00, 0xFF)
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        out = y * width * 3
        if usual:
            first = 2 if byte_order == 0 else 1
            rgb[out:out + width * 3:3] = row[first::4]
            rgb[out + 1:out + width * 3:3] = row[(1 if byte_order == 0 else 2)::4]
            rgb[out + 2:out + width * 3:3] = row[(0 if byte_order == 0 else 3)::4]
            continue
        pixels = struct.unpack(order + "%dI" % width, row)
        for p in pixels:
            rgb[out] = (p & red_mask) >> rs
            rgb[out + 1] = (p & green_mask) >> gs
            rgb[out + 2] = (p & blue_mask) >> bs
            out += 3
    return Picture(width, height, bytes(rgb))


def read_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos = 8
    idat = b""
    width = height = colour = depth = interlace = None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError("only 8-bit RGB or RGBA PNG files without interlacing are read")
    raw = zlib.decompress(idat)
    stride = width * channels
    previous = bytearray(stride)
    rgb = bytearray(width * height * 3)
    pos = 0
    for y in range(height):
        kind = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        out = y * width * 3
        for x in range(width):
            rgb[out:out + 3] = line[x * channels:x * channels + 3]
            out += 3
    return Picture(width, height, bytes(rgb))


def read(path):
    with open(path, "rb") as f:
        data = f.read()
    return read_png(data) if data[:4] == b"\x89PNG" else read_xwd(data)


def write_png(picture, path):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    stride = picture.width * 3
    raw = b"".join(b"\0" + picture.rgb[y * stride:(y + 1) * stride] for y in range(picture.height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def fail(message):
    print(message)
    sys.exit(1)


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "png" and len(argv) == 4:
        write_png(read(argv[2]), argv[3])
    elif command == "same" and len(argv) == 4:
        a, b = read(argv[2]), read(argv[3])
        if (a.width, a.height) != (b.width, b.height):
            fail("sizes differ: %dx%d and %dx%d" % (a.width, a.height, b.width, b.height))
        if a.rgb != b.rgb:
            i = next(i for i in range(len(a.rgb)) if a.rgb[i] != b.rgb[i]) // 3
            x, y = i % a.width, i // a.width
            fail("pixel %d,%d differs: %s and %s" % (x, y, a.at(x, y), b.at(x, y)))
    elif command == "scaled" and len(argv) == 5:
        small, big, k = read(argv[2]), read(argv[3]), int(argv[4])
        if (big.width, big.height) != (small.width * k, small.height * k):
            fail("%dx%d is not %d times %dx%d" % (big.width, big.height, k, small.width, small.height))
        row_bytes = small.width * 3
        for y in range(small.height):
            row = small.rgb[y * row_bytes:(y + 1) * row_bytes]
            wide = bytearray(row_bytes * k)
            for i in range(k):
                for c in range(3):
                    wide[i * 3 + c::k * 3] = row[c::3]
            for i in range(k):
                start = (y * k + i) * row_bytes * k
                got = big.rgb[start:start + row_bytes * k]
                if got != wide:
                    x = next(j for j in range(len(got)) if got[j] != wide[j]) // 3
                    fail("pixel %d,%d is %s, not %s of %d,%d" % (x, y * k + i, big.at(x, y * k + i),
                                                              small.at(x // k, y), x // k, y))
    elif command == "differ" and len(argv) == 8:
        a, b = read(argv[2]), read(argv[3])
        left, top, width, height = (int(v) for v in argv[4:8])
        for y in range(top, top + height):
            for x in range(left, left + width):
                if a.at(x, y) != b.at(x, y):
                    return
        fail("the pictures agree inside %d,%d %dx%d" % (left, top, width, height))
    elif command == "same-area" and len(argv) == 8:
        a, b = read(argv[2]), read(argv[3])
        left, top, width, height = (int(v) for v in argv[4:8])
        for y in range(top, top + height):
            for x in range(left, left + width):
                if a.at(x, y) != b.at(x, y):
                    fail("pixel %d,%d differs: %s and %s" % (x, y, a.at(x, y), b.at(x, y)))
    elif command == "not-repeated" and len(argv) == 8:
        a = read(argv[2])
        left, top, width, height, k = (int(v) for v in argv[3:8])
        blocks = repeated = 0
        for y in range(top - top % k + k, top + height - k, k):
            for x in range(left - left % k + k, left + width - k, k):
                first = a.at(x, y)
                blocks += 1
                repeated += all(a.at(x + i, y + j) == first for j in range(k) for i in range(k))
        if blocks == 0 or repeated > 0.9 * blocks:
            fail("%d of %d blocks of %d x %d are one colour: the picture was enlarged by repeating pixels"
                 % (repeated, blocks, k, k))
        print("%d of %d blocks of %d x %d are one colour" % (repeated, blocks, k, k))
    else:
        print(__doc__)
        sys.exit(2)


if __name__ == "__main__":
    main(sys.argv)
