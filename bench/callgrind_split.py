#!/usr/bin/env python3
"""Instructions of a callgrind profile, split by the object that executed them.

Usage: callgrind_split.py CALLGRIND_OUT ITERATIONS
Prints one line: "<total per iteration> <driver library's per iteration> <object>=<per iteration> ...".
Self cost only (the inclusive cost lines after calls= are skipped), so every instruction is
counted once, in the object whose code ran it.
"""
import collections
import os
import re
import sys

NAMED = re.compile(r"^\((\d+)\)(?: (.*))?$")


def split(path):
    names = {}
    by_object = collections.Counter()
    current = "?"
    skip_next = False
    with open(path, encoding="utf-8", errors="replace") as profile:
        for line in profile:
            line = line.rstrip("\n")
            if line.startswith("ob="):
                match = NAMED.match(line[3:])
                if match:
                    if match.group(2):
                        names[match.group(1)] = match.group(2)
                    current = names.get(match.group(1), "?")
                else:
                    current = line[3:]
                continue
            if line.startswith("cob="):
                match = NAMED.match(line[4:])
                if match and match.group(2):
                    names[match.group(1)] = match.group(2)
                continue
            if line.startswith("calls="):
                skip_next = True
                continue
            if not line or not (line[0].isdigit() or line[0] in "+-*"):
                continue
            if skip_next:
                skip_next = False
                continue
            fields = line.split()
            if len(fields) >= 2:
                by_object[os.path.basename(current)] += int(fields[1])
    return by_object


def main():
    by_object = split(sys.argv[1])
    iterations = int(sys.argv[2])
    total = sum(by_object.values())
    driver = sum(count for name, count in by_object.items() if name.startswith("libqorbvn"))
    parts = " ".join("%s=%.1f" % (name, count / iterations) for name, count in by_object.most_common())
    print("%.1f %.1f %s" % (total / iterations, driver / iterations, parts))


if __name__ == "__main__":
    main()
