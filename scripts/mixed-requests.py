#!/usr/bin/env python3
"""Writes N mixed --batch request lines (method, input, zodiac, time; tab-separated) to
stdout, the same lines for the same N and seed: number, manual-line and time castings over
many dates, with some malformed lines among them. Used to compare the output of two builds
(before and after a change, Linux and Windows) byte for byte."""
import random
import sys

count = int(sys.argv[1]) if len(sys.argv) > 1 else 10000
rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 20261207)


def when():
    return "%04d-%02d-%02d %02d:%02d:%02d" % (
        rng.randint(1901, 2099), rng.randint(1, 12), rng.randint(1, 28),
        rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59))


for _ in range(count):
    kind = rng.random()
    zodiac = str(rng.randint(1, 12))
    if kind < 0.4:
        number = str(rng.randint(0, 10 ** rng.randint(1, 30)))
        if rng.random() < 0.05:
            number = "-" + number
        line = ["1", number, zodiac, when()]
    elif kind < 0.7:
        line = ["2", "".join(rng.choice("1234") for _ in range(6)), zodiac, when()]
    elif kind < 0.85:
        line = ["3", str(rng.randint(0, 4 * 10 ** 12)), zodiac, when()]
    elif kind < 0.97:
        line = ["3", "", zodiac, when()]
    else:
        line = rng.choice([["0", "1", zodiac, when()], ["1", "12", "13", when()],
                           ["2", "12345", zodiac, when()], ["1", "5", zodiac, "2024-02-30 00:00:00"],
                           ["x"], [""]])
    print("\t".join(line))
