"""What the generators' checks share: the repository's place, a fault recorder, and the
two headers of a .bmp file read field by field.

Each check reads its files here rather than through the writer that made them, so a
mistake in a writer shows up.
"""

import os
import struct

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
faults = []


def fault(msg):
    """Records a fault and says it at once; a check exits 1 when any were recorded."""
    faults.append(msg)
    print('FAULT:', msg)


def verdict():
    """The exit status of a check: 1 when it recorded any fault."""
    if faults:
        print(f'{len(faults)} faults')
        return 1
    print('all good')
    return 0

FILE_HEADER = 14


def read_headers(data):
    """The file header and the 40-byte info header as a dict, or None for a short file."""
    if len(data) < FILE_HEADER + 40:
        return None
    magic, size, r1, r2, offset = struct.unpack_from('<2sIHHI', data, 0)
    (header_size, width, height, planes, bits, compression, image_size, _, _, used,
     _) = struct.unpack_from('<IiiHHIIiiII', data, FILE_HEADER)
    return {'magic': magic, 'file size': size, 'reserved': r1 | r2, 'offset': offset,
            'header size': header_size, 'width': width, 'height': height, 'planes': planes,
            'bits': bits, 'compression': compression, 'image size': image_size,
            'colours used': used}


def mismatches(name, got, expected):
    """One message per field of `expected` that `got` does not hold."""
    return [f'{name}: {field} is {got.get(field)!r}, expected {value!r}'
            for field, value in expected.items() if got.get(field) != value]
