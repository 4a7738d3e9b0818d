#!/usr/bin/env python3
"""Draws the program's own pictures with ImageMagick: the splash, the icon, and the refresh
arrows (normal, hover, disabled). Run it from this folder; the PNG files it writes are kept in the repository."""
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


SERIF = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"
SANS = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"


def hexagram_commands(left, top, width, bar, gap, lines, colour):
    """Six lines bottom to top as "1" (solid) or "0" (broken), drawn top line first."""
    draws = ["-stroke", "none", "-fill", colour]
    for row, mark in enumerate(reversed(lines)):
        y = top + row * (bar + gap)
        if mark == "1":
            draws += ["-draw", f"rectangle {left},{y} {left + width},{y + bar}"]
        else:
            third = width * 2 // 5
            draws += ["-draw", f"rectangle {left},{y} {left + third},{y + bar}",
                      "-draw", f"rectangle {left + width - third},{y} {left + width},{y + bar}"]
    return draws


def splash():
    # Night blue to ink, a gold hexagram (既济, lines alternating), the name and the promise.
    # Drawn at twice the window's 488 x 288, so that it stays sharp on a 200 % screen.
    s = 2
    subprocess.run([
        "convert", "-size", f"{488 * s}x{288 * s}", "gradient:#1b2a4a-#0b1020",
        *hexagram_commands(44 * s, 62 * s, 120 * s, 14 * s, 12 * s, "101010", "#d9b45a"),
        "-fill", "none", "-stroke", "#d9b45a", "-strokewidth", f"{2 * s}",
        "-draw", f"circle {104 * s},{136 * s} {104 * s},{34 * s}",
        "-stroke", "none", "-fill", "#f3e6c4", "-font", SERIF, "-pointsize", f"{48 * s}",
        "-annotate", f"+{222 * s}+{128 * s}", "Orvenna",
        "-fill", "#d9b45a", "-font", SERIF, "-pointsize", f"{22 * s}",
        "-annotate", f"+{224 * s}+{172 * s}", "六爻排盘 · 七星彩推演",
        "-fill", "#9aa6c2", "-font", SANS, "-pointsize", f"{13 * s}",
        "-annotate", f"+{226 * s}+{206 * s}", "传统文化创新，仅为游戏娱乐",
        "-annotate", f"+{226 * s}+{252 * s}", "V1.0.0",
        "-define", "png:exclude-chunks=date,time", "splash.png"], check=True)
    print("splash.png")


def icon():
    subprocess.run([
        "convert", "-size", "256x256", "xc:none",
        "-fill", "#1b2a4a", "-draw", "roundrectangle 8,8 248,248 48,48",
        *hexagram_commands(58, 46, 140, 20, 12, "010101", "#d9b45a"),
        "-define", "png:exclude-chunks=date,time", "orvenna.png"], check=True)
    print("orvenna.png")


splash()
icon()
for name, colour in ARROWS.items():
    subprocess.run(["convert", "-size", "128x128", "xc:none", *arrow_commands(colour),
                    "-define", "png:exclude-chunks=date,time", name], check=True)
    print(name)
