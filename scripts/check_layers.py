#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, bottom first: platform (with astro beside it, and sim on it), state, config, wsjtx
(WSJT-X's UDP messages), ports, hamlib, rotor and radio (side by side, neither includes the
other), station (the rules every antenna move passes), sources (the tracking file, the Moon and
Sun), plan (the pass plan) and devices (the network devices) side by side, calibration (the
pointing scan and its fit), sky (the sky state), tracking (start-up and run control), demo (the try-it
mode), the windows (ui/qt), the program (app). Qt headers and platform/qt belong to the windows
and the program only. A protocol file (*_protocol.h/.cpp) holds
pure encoders and parsers: it includes the standard library, other protocol headers and the
number rules, never the run state or Kelv. state/parsed.h, the parsers' result type, holds
nothing but the standard library, so every layer and protocol file may include it.
"""
import pathlib
import re
import sys

RANK = {"platform": 0, "state": 1, "config": 2, "ports": 3, "rotor": 4, "radio": 4,
        "hamlib": 3.5, "wsjtx": 2.5, "astro": 0, "sim": 0.5, "station": 4.5, "sources": 4.6,
        "plan": 4.6, "devices": 4.6, "calibration": 4.65,
        "sky": 4.7, "tracking": 5, "demo": 5.5, "platform/qt": 6, "ui/qt": 7, "app": 8}
QT_FOLDERS = {"platform/qt", "ui/qt", "app"}
PROTOCOL_MAY_INCLUDE = {"state/numbers.h", "state/parsed.h"}
ANY_LAYER_MAY_INCLUDE = {"state/parsed.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def folder_of(relative: str) -> str:
    parts = relative.split("/")
    if len(parts) > 2 and parts[1] == "qt":
        return parts[0] + "/qt"
    return parts[0]


def main() -> int:
    src = pathlib.Path(__file__).resolve().parent.parent / "src"
    problems = []
    edges = set()
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        folder = folder_of(relative)
        if folder not in RANK:
            problems.append(f"{relative}: folder {folder} has no layer in scripts/check_layers.py")
            continue
        protocol = path.stem.endswith("_protocol")
        for kind, name in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if kind == "<":
                if re.match(r"Q[A-Za-z]", name) and folder not in QT_FOLDERS:
                    problems.append(f"{relative}: Qt header <{name}> outside the windows")
                continue
            target = folder_of(name)
            if target not in RANK:
                problems.append(f'{relative}: "{name}" is not under a known layer')
                continue
            if protocol and target != folder and name not in PROTOCOL_MAY_INCLUDE:
                problems.append(f'{relative}: protocol file includes "{name}"')
            if protocol and target == folder and not pathlib.Path(name).stem.endswith("_protocol"):
                problems.append(f'{relative}: protocol file includes "{name}"')
            if target == folder or name in ANY_LAYER_MAY_INCLUDE:
                continue
            edges.add((folder, target))
            if target == "platform/qt" and folder not in QT_FOLDERS:
                problems.append(f'{relative}: "{name}" is Qt code')
            elif RANK[target] >= RANK[folder]:
                problems.append(f'{relative}: includes "{name}" of a layer not below {folder}')
    for problem in problems:
        print("layering:", problem)
    if problems:
        return 1
    print(f"layering: {len(edges)} folder dependencies, all downward")
    return 0


if __name__ == "__main__":
    sys.exit(main())
