#!/usr/bin/env python3
"""Every sample surface file and every file the editor saved validates
against the published schema, and files the reader refuses do not (a schema
that accepts anything would pass the first half alone). Each folder given
must hold surface files."""
import copy
import glob
import json
import os
import sys

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is missing (scripts/setup-debian.sh installs it)")
    sys.exit(1)

schema_path, *folders = sys.argv[1:]
with open(schema_path, encoding="utf-8-sig") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)

failures = 0
# In a seed corpus, ok_* files are read and bad_* refused by the reader.
empty = [folder for folder in folders if not glob.glob(os.path.join(folder, "*.skimbler"))]
if empty:
    print("no surface files in", empty)
    sys.exit(1)
candidates = sorted(p for folder in folders for p in glob.glob(os.path.join(folder, "*.skimbler")))
samples = [p for p in candidates if not os.path.basename(p).startswith("bad_")]
bad_files = [p for p in candidates if os.path.basename(p).startswith("bad_")]
if not samples:
    print("no sample surface files found in", folders)
    sys.exit(1)
for path in samples:
    with open(path, encoding="utf-8-sig") as f:
        document = json.load(f)
    errors = [e.message for e in validator.iter_errors(document)]
    if errors:
        failures += 1
        print(f"FAIL {path}: {errors[0]}")

for path in bad_files:
    try:
        with open(path, encoding="utf-8-sig") as f:
            document = json.loads(f.read(), parse_constant=lambda name: float("nan"))
    except (ValueError, RecursionError):
        continue  # not JSON at all
    if validator.is_valid(document):
        failures += 1
        print(f"FAIL the schema accepts {path}, which the reader refuses")

# What the reader refuses, each a change of the first sample.
first = next(p for p in samples if os.path.dirname(p) == folders[0].rstrip("/"))
base = json.load(open(first, encoding="utf-8-sig"))
def changed(edit):
    document = copy.deepcopy(base)
    edit(document)
    return document
refused = {
    "wrong format name": changed(lambda d: d.update(format="other")),
    "newer version": changed(lambda d: d.update(version=2)),
    "image not an object": changed(lambda d: d.update(image="a.png")),
    "image path not text": changed(lambda d: d["image"].update(relative=3)),
    "missing field": changed(lambda d: d["surface"].pop("Flags")),
    "negative unsigned": changed(lambda d: d["surface"].update(MagFilter=-1)),
    "unsigned too large": changed(lambda d: d["surface"].update(Flags=4294967296)),
    "fraction": changed(lambda d: d["surface"].update(Version=1.5)),
    "three points": changed(lambda d: d["surface"]["Points"].pop()),
    "point beyond a float": changed(lambda d: d["surface"]["Points"][0].__setitem__(0, 1e39)),
    "colour above 1": changed(lambda d: d["surface"]["Colors"][1].__setitem__(2, 1.5)),
    "perspective not boolean": changed(lambda d: d["surface"].update(PerspectiveCorrect=1)),
}
for name, document in refused.items():
    if validator.is_valid(document):
        failures += 1
        print(f"FAIL the schema accepts a file the reader refuses: {name}")

print(f"{len(samples)} sample files, {len(refused)} refused variants, {failures} failures")
sys.exit(1 if failures else 0)
