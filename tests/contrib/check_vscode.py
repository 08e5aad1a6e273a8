"""Feeds real checker output through the VS Code problem matcher's regular
expression and checks what it extracts from each line."""

import json
import pathlib
import re
import subprocess
import sys

here = pathlib.Path(__file__).resolve().parent
tasks = json.loads((here / "../../contrib/vscode/tasks.json").read_text())
pattern = tasks["tasks"][0]["problemMatcher"]["pattern"]
regexp = re.compile(pattern["regexp"])

run = subprocess.run([sys.argv[1], "editor.tlq"], cwd=here / "input",
                     capture_output=True, text=True, check=False)
found = []
for line in run.stdout.splitlines():
    match = regexp.match(line)
    if match:
        found.append((match.group(pattern["file"]), int(match.group(pattern["line"])),
                      match.group(pattern["severity"]), match.group(pattern["message"])))
expected = [
    ("editor.tlq", 2, "error", "Integer 'count' missing constraint"),
    ("editor.tlqcfg", 2, "warning", "Unable to locate item: S.missing"),
]
if found != expected:
    print("problem matcher found", found, "expected", expected)
    sys.exit(1)
print("vscode problem matcher: ok")
