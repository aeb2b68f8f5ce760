#!/usr/bin/env python3
"""Stack each request needs, from GCC's -fcallgraph-info=su output (.ci files).

Usage: stack_usage.py BUILD_DIR
Reads every .ci file under BUILD_DIR (the driver's objects, built with -fstack-usage
-fcallgraph-info=su), follows the call graph from QorMain through its handler table to every
function of the driver's own, and prints for each request code the deepest path and its
bytes. Calls that leave the driver (the C library, the host's err, the data-exchange
library, the platform's serial calls) are listed at the path's end with no figure of ours.
Exit status 1 when a request needs more than the limit (512 bytes) of the driver's own stack.
"""
import glob
import os
import re
import sys

LIMIT = 512

# The handler table of QorMain, by code; QorMain's one indirect call goes to one of these.
HANDLERS = {
    1: "SetChannelActive", 2: "AnswerZero", 3: "ActivateGate", 4: "AnswerOne",
    5: "ReadGate", 6: "AnswerOne", 7: "WriteGate", 10: "AnswerOne", 11: "AnswerZero",
    12: "CloseChannel", 13: "OpenChannel", 14: "IdentifyDriver", 15: "ConfigureChannel",
}

NODE = re.compile(r'node: \{ title: "([^"]+)" label: "([^"]*)"(.*)\}')
EDGE = re.compile(r'edge: \{ sourcename: "([^"]+)" targetname: "([^"]+)"')
BYTES = re.compile(r'\\n(\d+) bytes \(([^)]*)\)')


def load(build_dir):
    frames, pretty, calls = {}, {}, {}
    for path in glob.glob(os.path.join(build_dir, "**", "*.ci"), recursive=True):
        with open(path, encoding="utf-8", errors="replace") as ci:
            for line in ci:
                node = NODE.search(line)
                if node:
                    title, label = node.group(1), node.group(2)
                    size = BYTES.search(label)
                    if size:  # defined in this unit
                        frames[title] = (int(size.group(1)), size.group(2))
                        pretty[title] = label.split("\\n")[0]
                    continue
                edge = EDGE.search(line)
                if edge:
                    calls.setdefault(edge.group(1), set()).add(edge.group(2))
    return frames, pretty, calls


def short(name, pretty):
    return pretty.get(name, name).split("(")[0].split(" ")[-1].split("::")[-1]


def deepest(name, frames, calls, indirect, seen=()):
    """(bytes of the driver's own stack, path, calls leaving the driver) along the deepest path."""
    own = frames[name][0]
    best = (0, [], [])
    external = []
    callees = set(calls.get(name, ()))
    if "__indirect_call" in callees:
        callees |= indirect.get(name, set())
    for callee in sorted(callees):
        if callee in seen:
            continue  # the driver has no recursion; guard all the same
        if callee in frames:
            below = deepest(callee, frames, calls, indirect, seen + (name,))
            if below[0] > best[0]:
                best = below
        elif callee != "__indirect_call":
            external.append(callee)
    return own + best[0], [name] + best[1], sorted(set(external + best[2]))


def find(frames, pretty, plain):
    for title in frames:
        if short(title, pretty) == plain:
            return title
    return None


# The operations each port primitive calls through the table of communications operations.
TABLE_CALLS = {
    "OpenPort": ("CreateFile", "GetCommState", "SetCommTimeouts", "SetCommState", "SetupComm", "CloseHandle"),
    "ClosePort": ("CloseHandle",),
    "SetReadTimeout": ("GetCommTimeouts", "SetCommTimeouts"),
}


def indirect_targets(frames, pretty):
    """The port primitives call the seven communications operations through a table; on
    Linux the table holds the Posix* functions."""
    targets = {}
    for primitive, operations in TABLE_CALLS.items():
        title = find(frames, pretty, primitive)
        if title is None:
            continue
        targets[title] = {t for t in frames
                          if short(t, pretty).startswith("Posix") and short(t, pretty)[5:] in operations}
    return targets


def main():
    build_dir = sys.argv[1]
    frames, pretty, calls = load(build_dir)
    qor_main = find(frames, pretty, "QorMain")
    if qor_main is None:
        sys.exit("stack_usage: no QorMain in %s (built with -fcallgraph-info=su?)" % build_dir)
    entry = frames[qor_main][0]
    indirect = indirect_targets(frames, pretty)
    print("| code | handler | handler's own frame | deepest path (QorMain + handler + callees) | bytes | leaves the driver for |")
    print("|---|---|---|---|---|---|")
    worst = 0
    for code, handler in sorted(HANDLERS.items()):
        title = find(frames, pretty, handler)
        if title is None:
            print("| %d | %s | not built | | | |" % (code, handler))
            continue
        total, path, external = deepest(title, frames, calls, indirect)
        total += entry
        worst = max(worst, total)
        names = " > ".join(["QorMain"] + [short(p, pretty) for p in path])
        details = " + ".join(str(frames[p][0]) for p in [qor_main] + path)
        print("| %d | %s | %d | %s (%s) | %d | %s |" % (
            code, handler, frames[title][0], names, details, total, ", ".join(external) or "nothing"))
    print()
    print("deepest request: %d bytes of the driver's own stack (limit %d)" % (worst, LIMIT))
    return 0 if worst <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
