#!/usr/bin/python3
"""Writes predicted.psd (8- and 16-bit layers with ZIP prediction) and predicted16.psd, then
decodes every layer with psd-tools (Debian's python3-psd-tools) into predicted*.LAYER.png: the
expected pixels, high byte of 16-bit samples. Run from this folder with /usr/bin/python3."""
import struct, zlib
import numpy as np
from PIL import Image
from psd_tools import PSDImage


def plane(w, h, seed, depth):
    top = 255 if depth == 8 else 65535
    y, x = np.mgrid[0:h, 0:w]
    v = (x * (37 + seed) + y * (11 + 3 * seed) + (x * y) % (7 + seed)) * (1 if depth == 8 else 263)
    return (v % (top + 1)).astype(np.uint32)


def predicted(p, depth):
    """Per-row deltas, the inverse of what readers undo."""
    d = p.astype(np.int64)
    delta = d.copy()
    delta[:, 1:] = d[:, 1:] - d[:, :-1]
    mod = 256 if depth == 8 else 65536
    delta %= mod
    if depth == 8:
        return delta.astype('>u1').tobytes()
    return delta.astype('>u2').tobytes()


def raw(p, depth):
    return p.astype('>u1' if depth == 8 else '>u2').tobytes()


def document(path, w, h, depth, layers):
    out = b'8BPS' + struct.pack('>H6xHIIHH', 1, 3, h, w, depth, 3)
    out += struct.pack('>I', 0) + struct.pack('>I', 0)
    records, data = b'', b''
    for name, (top, left, lh, lw), compression in layers:
        channels = []
        for i, cid in enumerate((-1, 0, 1, 2)):
            p = plane(lw, lh, i + len(name), depth)
            if cid == -1:
                p = (p // 2 + (p.max() // 2)) % (256 if depth == 8 else 65536)
            body = zlib.compress(predicted(p, depth) if compression == 3 else raw(p, depth))
            channels.append((cid, struct.pack('>H', compression) + body))
        records += struct.pack('>iiiiH', top, left, top + lh, left + lw, len(channels))
        for cid, blob in channels:
            records += struct.pack('>hI', cid, len(blob))
        records += b'8BIMnorm' + struct.pack('>BBBB', 255, 0, 0, 0)
        pascal = bytes([len(name)]) + name.encode()
        pascal += b'\0' * ((4 - len(pascal) % 4) % 4)
        extra = struct.pack('>II', 0, 0) + pascal
        records += struct.pack('>I', len(extra)) + extra
        data += b''.join(blob for _, blob in channels)
    info = struct.pack('>h', len(layers)) + records + data
    if len(info) % 2:
        info += b'\0'
    section = struct.pack('>I', len(info)) + info + struct.pack('>I', 0)
    if depth == 16:
        # 16-bit documents keep their layers in an "Lr16" block after an empty layer info.
        section = struct.pack('>I', 0) + struct.pack('>I', 0) + b'8BIMLr16' + struct.pack('>I', len(info)) + info
    out += struct.pack('>I', len(section)) + section
    out += struct.pack('>H', 0) + b'\0' * (w * h * 3 * (depth // 8))
    open(path, 'wb').write(out)


def expected(path, prefix):
    psd = PSDImage.open(path)
    for layer in psd:
        a = layer.numpy()  # floats 0..1, RGBA
        depth = psd.depth
        top = 255 if depth == 8 else 65535
        values = np.rint(a * top).astype(np.uint32)
        if depth == 16:
            values >>= 8
        Image.fromarray(values.astype(np.uint8), 'RGBA').save(prefix + '.' + layer.name + '.png')


document('predicted.psd', 64, 48, 8, [('grad8', (3, 4, 30, 40), 3), ('zip8', (10, 20, 20, 33), 2)])
document('predicted16.psd', 64, 48, 16, [('grad16', (5, 6, 31, 41), 3)])
expected('predicted.psd', 'predicted')
expected('predicted16.psd', 'predicted16')
