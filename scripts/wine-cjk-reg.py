#!/usr/bin/env python3
"""Writes a .reg file that makes Wine draw Chinese with Debian's fonts.

Wine ships no CJK faces, so Chinese text shows as boxes. Three fixes go into the file:
- font links: the faces Windows controls use (Tahoma, MS Shell Dlg, Segoe UI, ...) fall back
  to Noto Sans CJK SC for the characters they lack;
- replacements: the faces programs ask for by name (wxHTML's Arial, Times New Roman and
  Courier New; YaHei) become Noto Sans CJK SC outright;
- the Song faces (宋体 / SimSun, 新宋体 / NSimSun) become AR PL UMing (fonts-arphic-uming), the
  Ming face nearest SimSun in line height and character width, so the window keeps the size
  it has on Windows.

Usage: wine-cjk-reg.py OUTPUT.reg   (then: wine regedit /S OUTPUT.reg)
"""
import sys

CJK_FACE = "Noto Sans CJK SC"
CJK_LINK = "NotoSansCJK-Regular.ttc," + CJK_FACE

LINKED_FACES = [
    "Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "Segoe UI",
    "DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono",
]
REPLACED_FACES = [
    "Arial", "Times New Roman", "Courier New",
    "SimHei", "Microsoft YaHei", "Microsoft YaHei UI",
]
SONG_FACE = "AR PL UMing CN"
SONG_FACES = ["宋体", "SimSun", "新宋体", "NSimSun"]


def multi_string(*values):
    """A REG_MULTI_SZ value as regedit spells it: UTF-16LE bytes in hex, double-NUL ended."""
    raw = ("".join(v + "\0" for v in values) + "\0").encode("utf-16-le")
    return "hex(7):" + ",".join(f"{byte:02x}" for byte in raw)


def main(path):
    lines = [
        "Windows Registry Editor Version 5.00",
        "",
        r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]",
    ]
    lines += [f'"{face}"={multi_string(CJK_LINK)}' for face in LINKED_FACES]
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{CJK_FACE}"' for face in REPLACED_FACES]
    lines += [f'"{face}"="{SONG_FACE}"' for face in SONG_FACES]
    # regedit reads version 5 files as UTF-16 with a byte order mark and CRLF lines.
    with open(path, "w", encoding="utf-16", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: wine-cjk-reg.py OUTPUT.reg")
    main(sys.argv[1])
