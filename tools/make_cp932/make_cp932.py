#!/usr/bin/python3
"""Make the code page 932 tables for systems whose C library has no CP932 (the browser's).

Reads the C library's own CP932 through iconv, both ways: every single byte and every
pair of bytes, and every character of the first plane. Writes
src/encoding/cp932_table.inc, which src/encoding/sjis_table.cpp includes:

- kSingleBytes: the character of each single byte, kNoCharacter where it has none;
- kPairRows and kPairs: for each lead byte 0x81..0xFC, the span of second bytes that
  read as a character; a row whose characters run on in code order (the private-use
  rows) keeps its first character only, the others keep one entry per second byte in
  kPairs, 0 where the pair is none;
- kWriteCodes: the characters whose code is not the last code, in byte order, that
  reads as them: the one-way forms (such as U+00A5 written as 0x5C) and the characters
  with more than one code.

Before writing, it checks what sjis_table.cpp relies on: every character is in the
first plane, no byte is both a character and the lead of a pair, and so on.

Usage: make_cp932.py [--repo DIR] [--check]
  --check  compare with the committed file instead of writing it; exit 1 on a difference.
"""

import argparse
import ctypes
import os
import platform
import sys

NO_CHARACTER = 0xFFFF
FIRST_LEAD = 0x81
LAST_LEAD = 0xFC
TRAIL_GAP = 0x7F  # never a second byte

libc = ctypes.CDLL(None, use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t)]
FAILED = ctypes.c_size_t(-1).value


def opener(to, frm):
    cd = libc.iconv_open(to, frm)
    if cd is None or cd == FAILED:
        sys.exit(f"make_cp932: this C library's iconv has no {frm.decode()} to {to.decode()}")
    return cd


def convert(cd, data):
    """The whole of data converted, or None when iconv stops anywhere."""
    libc.iconv(cd, None, None, None, None)
    source = ctypes.create_string_buffer(data, len(data))
    target = ctypes.create_string_buffer(16)
    src = ctypes.cast(source, ctypes.c_char_p)
    src_left = ctypes.c_size_t(len(data))
    dst = ctypes.cast(target, ctypes.c_char_p)
    dst_left = ctypes.c_size_t(16)
    done = libc.iconv(cd, ctypes.byref(src), ctypes.byref(src_left), ctypes.byref(dst),
                      ctypes.byref(dst_left))
    if done == FAILED or src_left.value:
        return None
    return target.raw[:16 - dst_left.value]


def ordinal(trail):
    """The second byte's place among second bytes, which skip 0x7F."""
    return trail - 0x40 - (trail > TRAIL_GAP)


def read_cp932():
    read = opener(b"UTF-32LE", b"CP932")
    write = opener(b"CP932", b"UTF-32LE")

    def characters(data):
        out = convert(read, data)
        if out is None:
            return None
        return [int.from_bytes(out[i:i + 4], "little") for i in range(0, len(out), 4)]

    singles = [(characters(bytes([b])) or [None])[0] for b in range(256)]
    pairs = {}
    for lead in range(256):
        for trail in range(256):
            read_as = characters(bytes([lead, trail]))
            if read_as is None:
                continue
            if len(read_as) == 1:
                pairs[lead << 8 | trail] = read_as[0]
            elif read_as != [singles[lead], singles[trail]]:
                sys.exit(f"make_cp932: {lead:02X}{trail:02X} reads otherwise than its bytes")
    writes = {}
    for c in range(0x10000):
        if 0xD800 <= c <= 0xDFFF:
            continue
        out = convert(write, c.to_bytes(4, "little"))
        if out is not None:
            writes[c] = out
    return singles, pairs, writes


def check_assumptions(singles, pairs, writes):
    problems = []
    leads = {code >> 8 for code in pairs}
    for code, c in pairs.items():
        lead, trail = code >> 8, code & 0xFF
        if not (FIRST_LEAD <= lead <= LAST_LEAD) or not (0x40 <= trail <= 0xFC) or trail == TRAIL_GAP:
            problems.append(f"pair {code:04X} outside the lead and second bytes")
        if c == 0 or c > 0xFFFF or c == NO_CHARACTER:
            problems.append(f"pair {code:04X} reads as U+{c:04X}")
    for b, c in enumerate(singles):
        if c is not None and (c > 0xFFFF or c == NO_CHARACTER):
            problems.append(f"byte {b:02X} reads as U+{c:04X}")
        if c is not None and b in leads:
            problems.append(f"byte {b:02X} is both a character and a lead byte")
    for c, out in writes.items():
        if len(out) == 2 and (out[0] << 8 | out[1]) not in pairs:
            problems.append(f"U+{c:04X} is written as {out.hex()}, which reads as nothing")
        if len(out) == 1 and singles[out[0]] is None:
            problems.append(f"U+{c:04X} is written as {out.hex()}, which reads as nothing")
        if len(out) not in (1, 2):
            problems.append(f"U+{c:04X} is written as {len(out)} bytes")
    read_back = set(pairs.values()) | {c for c in singles if c is not None}
    for c in read_back:
        if c not in writes:
            problems.append(f"U+{c:04X} reads from a code but is not written")
    if problems:
        sys.exit("make_cp932: the C library's CP932 is not as the tables expect:\n  " +
                 "\n  ".join(problems[:20]))


def table_text(singles, pairs, writes):
    rows = []
    entries = []
    for lead in range(FIRST_LEAD, LAST_LEAD + 1):
        trails = sorted(code & 0xFF for code in pairs if code >> 8 == lead)
        if not trails:
            rows.append("{1, 0, 0, 0}")
            continue
        first, last = trails[0], trails[-1]
        start = pairs[lead << 8 | first]
        linear = all(pairs.get(lead << 8 | t) == start + ordinal(t) - ordinal(first)
                     for t in range(first, last + 1) if t != TRAIL_GAP)
        if linear:
            rows.append(f"{{0x{first:02X}, 0x{last:02X}, 1, 0x{start:04X}}}")
        else:
            rows.append(f"{{0x{first:02X}, 0x{last:02X}, 0, {len(entries)}}}")
            entries.extend(pairs.get(lead << 8 | t, 0) for t in range(first, last + 1))
    # What sjis_table.cpp builds for writing: each character's last code in byte order.
    last_code = {}
    for b, c in enumerate(singles):
        if c is not None:
            last_code[c] = b
    for code in sorted(pairs):
        last_code[pairs[code]] = code
    write_codes = []
    for c, out in sorted(writes.items()):
        code = int.from_bytes(out, "big")
        if last_code.get(c) != code:
            write_codes.append(f"{{0x{c:04X}, 0x{code:04X}}}")

    def block(values, per_line):
        lines = []
        for i in range(0, len(values), per_line):
            lines.append("    " + " ".join(f"{v}," for v in values[i:i + per_line]))
        return "\n".join(lines)

    single_values = [f"0x{NO_CHARACTER if c is None else c:04X}" for c in singles]
    libc_name, libc_version = platform.libc_ver()
    return f"""\
// Generated by tools/make_cp932/make_cp932.py from the CP932 of {libc_name} {libc_version}'s iconv.
// Do not edit: run the tool again. sjis_table.cpp says how the tables are read.

// What each single byte reads as.
constexpr uint16_t kSingleBytes[256] = {{
{block(single_values, 8)}
}};

// The second bytes that read as characters, for each lead byte from 0x{FIRST_LEAD:02X} to 0x{LAST_LEAD:02X}.
constexpr PairRow kPairRows[{LAST_LEAD - FIRST_LEAD + 1}] = {{
{block(rows, 4)}
}};

// The characters of the rows that are not runs, 0 for a pair that is none.
constexpr uint16_t kPairs[{len(entries)}] = {{
{block([f"0x{v:04X}" for v in entries], 8)}
}};

// The characters written with another code than the last that reads as them.
constexpr WriteCode kWriteCodes[{len(write_codes)}] = {{
{block(write_codes, 4)}
}};
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--repo", default=os.path.dirname(os.path.dirname(here)))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    singles, pairs, writes = read_cp932()
    check_assumptions(singles, pairs, writes)
    text = table_text(singles, pairs, writes)
    path = os.path.join(args.repo, "src", "encoding", "cp932_table.inc")
    if args.check:
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                print(f"make_cp932: {path} differs from the C library's CP932", file=sys.stderr)
                return 1
        print(f"make_cp932: {path} matches the C library's CP932")
        return 0
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    print(f"make_cp932: wrote {path}: {len(pairs)} pairs, {sum(c is not None for c in singles)} "
          f"single bytes, {len(writes)} characters written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
