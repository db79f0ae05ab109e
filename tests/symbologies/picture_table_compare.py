#!/usr/bin/env python3
"""Compares two outputs of picture_table (BEFORE AFTER): how many cases of each
class changed their PNG or their drawing, and which "ok" cases changed at all.
A change meant to mend broken drawings must leave every "ok" drawing alone."""
import collections
import sys


def load(path):
    table = {}
    for line in open(path, encoding="utf-8"):
        key, hashes, info = line.rstrip("\n").split("\t")
        png, drawing = (hashes, hashes) if hashes == "refused" else hashes.split(" ")
        table[key] = (png, drawing, "refused" if hashes == "refused" else info.split()[0])
    return table


before, after = load(sys.argv[1]), load(sys.argv[2])
if before.keys() != after.keys():
    sys.exit("the two tables hold different cases")
print("cases:", len(before))
print("before:", dict(collections.Counter(v[2] for v in before.values())))
print("after: ", dict(collections.Counter(v[2] for v in after.values())))
png, drawing, ok_changed = collections.Counter(), collections.Counter(), []
for key, (b_png, b_drawing, cls) in before.items():
    a_png, a_drawing, _ = after[key]
    png[cls] += b_png != a_png
    drawing[cls] += b_drawing != a_drawing
    if cls in ("ok", "refused") and (b_png != a_png or b_drawing != a_drawing):
        ok_changed.append((key, b_drawing == a_drawing))
print("PNG changed, by class before:", dict(png))
print("drawing changed, by class before:", dict(drawing))
for key, same_drawing in ok_changed:
    note = "same drawing: draw it alone in both builds" if same_drawing else "DRAWING CHANGED"
    print(f"  {key}: {note}")
sys.exit(1 if any(not same for _, same in ok_changed) else 0)
