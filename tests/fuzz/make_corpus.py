#!/usr/bin/env python3
"""Writes the fuzz target's seed corpus: the cases of the unit tests, in the target's input
format (see FuzzInput and DefineWorld in qorbvn_fuzz.cpp).

Usage: make_corpus.py OUTPUT_DIR
"""
import hashlib
import os
import struct
import sys

ORDINALS = [4, 5, 6, 7, 8, 11, 12, 13, 15, 16, 17, 21, 22, 23, 24, 25,
            26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40]
STATUS_PICKS = [0, -2000, -2005, -2007, -2009, -2001, -2004, -1, 1]
TYPE_PICKS = [0, 1, 2, 3, 4, 5, 6, 7, 8, -1, 42]
CODE_PICKS = list(range(17)) + [-1]
SIM = {"byte": 0, "word": 1, "short": 2, "dword": 3, "long": 4, "double": 5, "flags": 6, "text": 7}
# Gate type -> the simulated tag type that serves it.
SERVES = {0: "word", 1: "short", 2: "word", 3: "double", 4: "long", 5: "dword", 6: "flags", 7: "text"}
ORDINAL = {"ActivateTag": 4, "DeactivateTag": 5, "ScanActiveTags": 6, "ReadTagFlags": 7,
           "ReadTagLong": 11, "ReadTagWord": 25, "ReadTagByte": 24, "ReadTagDouble": 13,
           "ReadTagText": 30, "WriteTagWord": 34, "WriteTagByte": 33, "WriteTagShort": 16,
           "ReadArrayWord": 28, "ReadArrayDouble": 21, "WriteArrayWord": 37, "WriteArrayLong": 31}


def number(value, picks):
    if value in picks:
        return bytes([picks.index(value)])
    return b"\xff" + struct.pack("<i", value)


def world(tags=(), injections=(), no_data_directory=False, comm_fail=(0,) * 7, dcb_fill=0):
    out = bytes([1 if no_data_directory else 0, len(tags)])
    for name, kind, first, count, active in tags:
        raw = name.encode("latin-1")
        out += bytes([len(raw)]) + raw + bytes([SIM[kind], first & 0xFF, count, 1 if active else 0])
    out += bytes([len(injections)])
    for function, status, count, delivered in injections:
        out += bytes([ORDINALS.index(ORDINAL[function])]) + number(status, STATUS_PICKS)
        out += bytes([count - 1, 1 if delivered is not None else 0])
        bits, real, text = delivered if delivered is not None else (0, 0.0, "")
        out += struct.pack("<Id", bits & 0xFFFFFFFF, real)
        raw = text.encode("latin-1")
        out += bytes([len(raw)]) + raw
    out += bytes(comm_fail) + bytes([dcb_fill])
    return out


def channel(name=b"", settings=(9600, 8, 0, 0), options=0x0003, handle=0, active=0, timeout=100):
    return struct.pack("<iIi12s4HH2x", timeout, handle, active, name, *settings, options)


def request(code, params, new_channel=None, fill=0):
    out = number(code, CODE_PICKS)
    out += bytes([0]) + new_channel if new_channel is not None else bytes([1])
    out += bytes([fill]) * 20
    return out + params


def gate(name, gate_type, cell=b"\0\0\0\0", fill=0):
    raw = name.encode("latin-1")
    out = struct.pack("<H", len(raw)) + raw
    if raw:
        out += b"\x01\x01"  # leave the brackets as written
    out += bytes([fill]) * 44 + number(gate_type, TYPE_PICKS)
    size = 80 if gate_type == 7 else 4
    return out + (cell + bytes(size))[:size]


def config(name, timeout=0, settings=(0, 0, 0, 0)):
    return struct.pack("<12si4H", name, timeout, *settings)


def program(world_bytes, channel_bytes, requests):
    return world_bytes + channel_bytes + bytes([len(requests) - 1]) + b"".join(requests)


def seeds():
    names = ["TANK", "TANK[3]", "TANK[ 3 ]", "TANK[+3]", "TANK[3x]", "TANK[3]abc", "TANK[-1]",
             "TANK[0x10]", "TANK[1][2]", "[5]", "TANK[]", "TANK[x]", "TANK[9999]", "TANK[3",
             "TANK]3[", "TANK]3", "A" * 35, "B" * 36, "L" * 300, "LONGNAME[" + "9" * 40 + "]",
             "T[2147483648]", "T[-2147483649]"]
    # Every gate type against a tag of its kind, plain and array, read, write and activate.
    types = list(range(8)) + [8, -1]
    for position, name in enumerate(names):
        for gate_type in (types[position % 10], types[(position + 3) % 10], types[(position + 7) % 10]):
            kind = SERVES.get(gate_type, "long")
            tags = [("TANK", kind, 0, 0, True)]
            if kind not in ("text", "flags"):
                tags.append(("ARR", kind, 0, 8, True))
            target = name.replace("TANK[", "ARR[") if "[" in name else name
            fill = 0xFF if position % 2 else 0x00
            yield program(world(tags), channel(), [request(code, gate(target, gate_type, fill=fill), fill=fill)
                                                   for code in (3, 5, 7, 5)])
    # The library's answers the read and write act on.
    cases = [
        ("ReadTagWord", -2000, ("byte", 0), 0, "TANK", 5),
        ("ReadTagByte", -1, ("byte", 0), 0, "TANK", 5),
        ("ScanActiveTags", -7, ("long", 0), 4, "TANK", 5),
        ("ReadTagLong", -2005, ("long", 0), 4, "TANK", 5),
        ("ReadTagFlags", -2007, ("flags", 0), 6, "TANK", 5),
        ("ReadArrayDouble", -2005, ("double", 8), 3, "TANK[4]", 5),
        ("ActivateTag", -2009, ("long", 0), 4, "TANK", 3),
        ("ActivateTag", -3, ("long", 0), 4, "TANK[3]", 3),
        ("WriteTagWord", -2000, ("byte", 0), 0, "TANK", 7),
        ("WriteTagWord", -2005, ("word", 0), 0, "TANK", 7),
        ("WriteTagShort", -2000, ("short", 0), 1, "TANK", 7),
        ("WriteArrayWord", -2000, ("byte", 8), 0, "TANK[3]", 7),
        ("ReadTagText", -2008, ("text", 0), 7, "TANK", 5),
        ("ReadArrayWord", -2000, ("byte", 8), 2, "TANK[2]", 5),
    ]
    for function, status, (kind, count), gate_type, name, code in cases:
        tags = [("TANK", kind, 0, count, True)]
        delivered = (200, 1.5, "x" * 90)
        injections = [(function, status, 1, delivered)]
        if function == "ReadTagFlags" or function.endswith("Double"):
            injections.append(("ActivateTag", -1, 1, None))
        yield program(world(tags, injections), channel(), [request(code, gate(name, gate_type, b"\x11\x22\x2c\x01"))])
    yield program(world([("TANK", "long", 0, 0, True)], no_data_directory=True), channel(),
                  [request(3, gate("TANK", 4))])
    # Requests that do nothing, identification, request 1, codes without a handler.
    for code in (0, 1, 2, 4, 6, 8, 9, 10, 11, 14, 16, -1, 0x7FFFFFFF):
        for fill in (0x00, 0xFF):
            yield program(world(), channel(), [request(code, bytes([fill]) * 64, fill=fill)])
    yield program(world(), channel(), [request(1, struct.pack("<12sii", b"", 1, 5))])
    # The channel: configure, open, close, with each communications operation failing.
    device = b"ttyS0"
    for op in range(7):
        for pattern in (0x01, 0x02, 0xFF):
            fail = [0] * 7
            fail[op] = pattern
            yield program(world(comm_fail=fail), channel(), [
                request(15, config(device, 5, (9600, 8, 0, 0))),
                request(15, config(b"ttyS1", 0, (0, 8, 1, 2))),
                request(13, b"\0" * 64),
                request(12, b"\0" * 64),
                request(12, b"\0" * 64),
                request(13, b"\0" * 64),
                request(15, config(b"", 0)),
            ])
    for name in (b"NUL", b"nul", b"NUL:", b"ttyS0", b"/dev/ttyS0", b"", b"A" * 11, b"B" * 12):
        yield program(world(), channel(b"ttyS0"), [request(15, config(name, 7, (19200, 0x0108, 2, 1))),
                                                   request(13, b"\0" * 64), request(12, b"\0" * 64)])
    unterminated = struct.pack("<iIi", 0, 0, 0) + b"C" * 12 + b"\x01" * 10 + b"\0\0"
    yield program(world(), unterminated, [request(13, b"\0" * 64), request(12, b"\0" * 64)])
    yield program(world(), channel(b"ttyS0", handle=0x1234), [request(12, b"\0" * 64)])


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    count = 0
    for seed in seeds():
        name = hashlib.sha1(seed).hexdigest()
        with open(os.path.join(out, name), "wb") as f:
            f.write(seed)
        count += 1
    print("make_corpus: %d seeds in %s" % (count, out))


if __name__ == "__main__":
    main()
