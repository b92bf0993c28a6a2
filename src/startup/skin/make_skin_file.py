#!/usr/bin/env python3
"""Writes the skin file (".SHE" format, src/startup/skin_format.h) from its readable source.

usage: make_skin_file.py SOURCE OUTPUT
"""
import struct
import sys

COLOURS = ["window", "text", "field-background", "field-text", "button-face", "button-text",
           "button-pressed", "border", "header-background", "header-text", "stripe"]
VERSION = 1


def read_source(path):
    values = {}
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition(" ")
            if key == "font-face":
                values.setdefault(key, []).append(value.strip())
                continue
            if key in values:
                sys.exit(f"{path}:{number}: {key} given twice")
            values[key] = value.strip()
    return values


def colour(path, values, key):
    text = values.get(key, "")
    if len(text) != 7 or text[0] != "#":
        sys.exit(f"{path}: {key} needs a colour written #RRGGBB")
    return bytes.fromhex(text[1:])


def main():
    source, output = sys.argv[1:3]
    values = read_source(source)
    unknown = set(values) - set(COLOURS) - {"font-face", "font-points", "font-weight"}
    if unknown:
        sys.exit(f"{source}: unknown keys {sorted(unknown)}")
    faces = [face.encode("utf-16-le") for face in values.get("font-face", [])]
    if not 0 < len(faces) <= 4 or not all(0 < len(face) // 2 <= 31 for face in faces):
        sys.exit(f"{source}: one to four font-face lines are needed, of 1 to 31 characters each")
    points = int(values.get("font-points", "0"))
    weight = int(values.get("font-weight", "400"))
    if not 0 < points < 256 or not 0 < weight <= 1000:
        sys.exit(f"{source}: font-points must be 1 to 255 and font-weight 1 to 1000")
    header = b".SHE\0" + struct.pack("<BBBHBB", VERSION, len(COLOURS), points, weight, len(faces), 0)
    body = b"".join(colour(source, values, key) for key in COLOURS)
    body += b"".join(bytes([len(face) // 2]) + face for face in faces)
    with open(output, "wb") as out:
        out.write(header + body)


if __name__ == "__main__":
    main()
