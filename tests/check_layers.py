#!/usr/bin/env python3
"""Fails when a folder of src/ includes one that stands above it in the layers."""
import pathlib, re, sys

LAYERS = [["system"], ["support"], ["input", "textures", "sound"], ["quads"], ["world"], ["picking", "logic"], ["render"], ["minefield"],
          ["replay"], ["ui"], ["game"]]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}

src = pathlib.Path(sys.argv[1])
wrong = []
for path in sorted(src.glob("*/*")):
    folder = path.parent.name
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        included = re.match(r'\s*#\s*include\s+"([a-z]+)/', line)
        if included and included[1] != folder and RANK.get(included[1], 99) >= RANK.get(folder, -1):
            wrong.append("%s:%d: %s" % (path.relative_to(src), number, line.strip()))
print("\n".join(wrong) or "every include points down the layers")
sys.exit(1 if wrong else 0)
