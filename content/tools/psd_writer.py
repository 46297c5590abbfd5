"""A small writer of layered PSD files (version 1, 8-bit RGB with transparency).

Layers are written bottom-most first, as the format stores them; groups are a group-start
record above their contents and a group-end record below. Layer channels are ZIP-compressed,
the merged image PackBits-compressed. The output depends only on the input (no dates).
"""
import struct
import zlib


class Layer:
    """A pixel layer: ARGB pixels (0xAARRGGBB, rows top to bottom) at (left, top)."""

    def __init__(self, name, left, top, width, height, pixels, visible=True, opacity=255):
        assert len(pixels) == width * height
        self.name = name
        self.left, self.top, self.width, self.height = left, top, width, height
        self.pixels = pixels
        self.visible = visible
        self.opacity = opacity


class Group:
    """A layer group; children are listed top-most first, as a layers panel shows them."""

    def __init__(self, name, children, visible=True):
        self.name = name
        self.children = children
        self.visible = visible


GROUP_OPEN = 1
GROUP_END = 3


def _pascal(name):
    raw = name.encode("latin-1", "replace")[:255]
    data = bytes([len(raw)]) + raw
    while len(data) % 4:
        data += b"\0"
    return data


def _block(key, payload):
    if len(payload) % 2:
        payload += b"\0"
    return b"8BIM" + key + struct.pack(">I", len(payload)) + payload


def _unicode_name(name):
    return _block(b"luni", struct.pack(">I", len(name)) + name.encode("utf-16-be"))


def _planes(layer):
    """Alpha, red, green and blue planes of a layer."""
    px = layer.pixels
    return [bytes((p >> shift) & 0xFF for p in px) for shift in (24, 16, 8, 0)]


def _flatten(items, out):
    """Records bottom-most first: (kind, layer or group)."""
    for item in reversed(items):
        if isinstance(item, Group):
            out.append(("end", item))
            _flatten(item.children, out)
            out.append(("start", item))
        else:
            out.append(("pixels", item))
    return out


def _record(kind, item, channel_lengths):
    if kind == "pixels":
        t, l, b, r = item.top, item.left, item.top + item.height, item.left + item.width
        name, opacity, visible = item.name, item.opacity, item.visible
    else:
        t = l = b = r = 0
        name = item.name if kind == "start" else "</Layer group>"
        opacity, visible = 255, item.visible
    head = struct.pack(">4iH", t, l, b, r, 4)
    for channel_id, length in zip((-1, 0, 1, 2), channel_lengths):
        head += struct.pack(">hI", channel_id, length)
    flags = 0 if visible else 2
    head += b"8BIMnorm" + struct.pack(">BBBB", opacity, 0, flags, 0)
    extra = struct.pack(">I", 0) + struct.pack(">I", 0) + _pascal(name) + _unicode_name(name)
    if kind == "start":
        extra += _block(b"lsct", struct.pack(">I", GROUP_OPEN))
    elif kind == "end":
        extra += _block(b"lsct", struct.pack(">I", GROUP_END))
    return head + struct.pack(">I", len(extra)) + extra


def _channel_data(kind, item):
    if kind != "pixels" or item.width == 0 or item.height == 0:
        return [struct.pack(">H", 0)] * 4
    return [struct.pack(">H", 2) + zlib.compress(plane, 9) for plane in _planes(item)]


def _packbits(row):
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 128 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes([257 - run, row[i]])
            i += run
            continue
        start = i
        while i < n and i - start < 128 and not (i + 1 < n and row[i + 1] == row[i]):
            i += 1
        if i == start:
            i += 1
        out += bytes([i - start - 1]) + row[start:i]
    return bytes(out)


def _merged(width, height, pixels):
    """The composite in PackBits: red, green, blue, then alpha planes."""
    counts, data = [], []
    for shift in (16, 8, 0, 24):
        for y in range(height):
            row = bytes((pixels[y * width + x] >> shift) & 0xFF for x in range(width))
            packed = _packbits(row)
            counts.append(len(packed))
            data.append(packed)
    return struct.pack(">H", 1) + struct.pack(">%dH" % len(counts), *counts) + b"".join(data)


def composite(width, height, layers):
    """Source-over composite of the visible pixel layers (bottom-most first) on transparency."""
    out = [0] * (width * height)
    for layer in layers:
        for y in range(layer.height):
            dy = layer.top + y
            if dy < 0 or dy >= height:
                continue
            for x in range(layer.width):
                dx = layer.left + x
                if dx < 0 or dx >= width:
                    continue
                src = layer.pixels[y * layer.width + x]
                sa = (src >> 24) * layer.opacity // 255
                if sa == 0:
                    continue
                i = dy * width + dx
                dst = out[i]
                da = dst >> 24
                oa = sa + da * (255 - sa) // 255
                if oa == 0:
                    continue
                rgb = 0
                for shift in (16, 8, 0):
                    sc, dc = (src >> shift) & 0xFF, (dst >> shift) & 0xFF
                    c = (sc * sa + dc * da * (255 - sa) // 255) // oa
                    rgb |= min(c, 255) << shift
                out[i] = (oa << 24) | rgb
    return out


def write(path, width, height, items):
    """Writes the layer tree items (top-most first) as a PSD file of width x height."""
    records = _flatten(items, [])
    blobs = [_channel_data(kind, item) for kind, item in records]
    info = struct.pack(">h", -len(records))
    for (kind, item), channels in zip(records, blobs):
        info += _record(kind, item, [len(c) for c in channels])
    for channels in blobs:
        info += b"".join(channels)
    if len(info) % 2:
        info += b"\0"
    layer_info = struct.pack(">I", len(info)) + info
    layer_section = layer_info + struct.pack(">I", 0)
    visible = []

    def collect(items_, shown):
        for item in reversed(items_):
            if isinstance(item, Group):
                collect(item.children, shown and item.visible)
            elif shown and item.visible:
                visible.append(item)

    collect(items, True)
    header = b"8BPS" + struct.pack(">H6xHIIHH", 1, 4, height, width, 8, 3)
    with open(path, "wb") as f:
        f.write(header)
        f.write(struct.pack(">I", 0))  # colour mode data
        f.write(struct.pack(">I", 0))  # image resources
        f.write(struct.pack(">I", len(layer_section)) + layer_section)
        f.write(_merged(width, height, composite(width, height, visible)))
