#!/usr/bin/env python3
"""Draws the program's own pictures with ImageMagick: the refresh arrows (normal, hover,
disabled). Run it from this folder; the PNG files it writes are kept in the repository."""
import math
import subprocess

ARROWS = {"refresh-normal.png": "#1e6fd9", "refresh-hover.png": "#e8559a", "refresh-disabled.png": "#9a9a9a"}


def arc_point(centre, radius, degrees):
    theta = math.radians(degrees)
    return centre + radius * math.cos(theta), centre + radius * math.sin(theta)


def arrow_commands(colour):
    centre, radius, width = 64, 42, 13
    draws = []
    # Two arcs of 140 degrees chasing each other clockwise, each ending in a head.
    for start, end in ((200, 340), (20, 160)):
        # The arc as a filled band between two radii (ImageMagick closes stroked arcs).
        outer = [arc_point(centre, radius + width / 2, start + (end - start) * i / 40) for i in range(41)]
        inner = [arc_point(centre, radius - width / 2, end - (end - start) * i / 40) for i in range(41)]
        band = " ".join(f"{px:.1f},{py:.1f}" for px, py in outer + inner)
        draws += ["-stroke", "none", "-fill", colour, "-draw", f"polygon {band}"]
        theta = math.radians(end)
        x, y = centre + radius * math.cos(theta), centre + radius * math.sin(theta)
        tangent = (-math.sin(theta), math.cos(theta))
        normal = (math.cos(theta), math.sin(theta))
        tip = (x + 20 * tangent[0], y + 20 * tangent[1])
        left = (x + 17 * normal[0], y + 17 * normal[1])
        right = (x - 17 * normal[0], y - 17 * normal[1])
        points = " ".join(f"{px:.1f},{py:.1f}" for px, py in (tip, left, right))
        draws += ["-stroke", "none", "-fill", colour, "-draw", f"polygon {points}"]
    return draws


for name, colour in ARROWS.items():
    subprocess.run(["convert", "-size", "128x128", "xc:none", *arrow_commands(colour),
                    "-define", "png:exclude-chunks=date,time", name], check=True)
    print(name)
