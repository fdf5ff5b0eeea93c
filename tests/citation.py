"""The citation file parses as YAML with the keys that CFF 1.2.0 asks for, and
its version is the project's (CMakeLists.txt) and the top entry's of
debian/changelog. Usage: citation.py SOURCE_DIR VERSION"""
import re
import sys

import yaml

top, version = sys.argv[1], sys.argv[2]
with open(f"{top}/CITATION.cff", encoding="utf-8") as f:
    cff = yaml.safe_load(f)
faults = [f"CITATION.cff has no {key}" for key in ("message", "title", "authors", "date-released", "license")
          if not cff.get(key)]
if cff.get("cff-version") != "1.2.0":
    faults.append(f"CITATION.cff: cff-version {cff.get('cff-version')!r}, not '1.2.0'")
if str(cff.get("version")) != version:
    faults.append(f"CITATION.cff: version {cff.get('version')!r}, the project's is {version}")
with open(f"{top}/debian/changelog", encoding="utf-8") as f:
    entry = re.match(r"tolvi \(([^)]+)\)", f.readline())
if not entry or entry.group(1) != version:
    faults.append(f"debian/changelog's top entry is not tolvi ({version})")
sys.exit("\n".join(faults) or None)
