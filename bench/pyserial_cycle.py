#!/usr/bin/python3
"""Open, configure and close a pseudo-terminal with pyserial, timed inside the process.

Usage: pyserial_cycle.py CYCLES [ROUNDS]
Prints one line: "pyserial <median microseconds per cycle> us/cycle".
The same line settings as the C++ bench: 9600 8N1, one second read time-out, DTR on, RTS off,
exclusive open.
"""
import os
import statistics
import sys
import time

import serial  # Debian's python3-serial; run with /usr/bin/python3


def cycle(path):
    port = serial.Serial()
    port.port = path
    port.baudrate = 9600
    port.bytesize = serial.EIGHTBITS
    port.parity = serial.PARITY_NONE
    port.stopbits = serial.STOPBITS_ONE
    port.timeout = 1.0
    port.exclusive = True
    port.dtr = True
    port.rts = False
    port.open()
    port.close()


def main():
    cycles = int(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    master, slave = os.openpty()
    path = os.ttyname(slave)
    os.close(slave)
    samples = []
    for _ in range(rounds):
        start = time.perf_counter_ns()
        for _ in range(cycles):
            cycle(path)
        samples.append((time.perf_counter_ns() - start) / cycles / 1000.0)
    os.close(master)
    print(f"pyserial {statistics.median(samples):.2f} us/cycle")


if __name__ == "__main__":
    main()
