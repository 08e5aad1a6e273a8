"""Runs the VS Code task of contrib/vscode/tasks.json as VS Code would (its
variables substituted, the command given to bash -c in the task's working
folder, taloqchk found on PATH) and reads the output with the task's problem
matcher, resolving file names by its file-location rule as VS Code documents
it ("autoDetect": an absolute path as it stands, any other relative to the
given folder). Every problem must name a file that exists, at the line and
with the message the checker printed.

Usage: check_vscode.py BIN_DIR"""

import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
TASK = json.loads((HERE / "../../contrib/vscode/tasks.json").read_text())["tasks"][0]
MATCHER = TASK["problemMatcher"]


def substitute(text, variables):
    for name, value in variables.items():
        text = text.replace("${" + name + "}", value)
    return text


def resolve(name, variables):
    rule, base = MATCHER["fileLocation"]
    assert rule == "autoDetect", rule
    if os.path.isabs(name):
        return pathlib.Path(name)
    return pathlib.Path(substitute(base, variables)) / name


def problems(bin_dir, workspace, open_file):
    """The problems VS Code lists after running the task."""
    variables = {"workspaceFolder": str(workspace), "file": str(open_file),
                 "fileDirname": str(open_file.parent)}
    env = dict(os.environ, PATH=f"{bin_dir}{os.pathsep}{os.environ['PATH']}")
    run = subprocess.run(["bash", "-c", substitute(TASK["command"], variables)],
                         cwd=substitute(TASK["options"]["cwd"], variables), env=env,
                         capture_output=True, text=True, check=False)
    pattern = MATCHER["pattern"]
    regexp = re.compile(pattern["regexp"])
    found = []
    for line in run.stdout.splitlines():
        match = regexp.match(line)
        if match:
            path = resolve(match.group(pattern["file"]), variables)
            if not path.is_file():
                raise AssertionError(f"problem names no file: {path} (from {line!r})")
            number = match.group(pattern["line"])
            found.append((path.relative_to(workspace).as_posix(), int(number) if number else None,
                          match.group(pattern["severity"]), match.group(pattern["message"])))
    return found


def check(name, actual, expected):
    if actual != expected:
        print(f"{name}: the problem matcher found\n  {actual}\nexpected\n  {expected}")
        return False
    return True


def main():
    bin_dir = sys.argv[1]
    ok = True
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        # A workspace with a project file: the whole project is checked, so
        # the problems of every file appear, with paths relative to it.
        project = scratch / "shop"
        shutil.copytree(HERE / "broken", project)
        ok &= check("project workspace", problems(bin_dir, project, project / "shop.tlq"), [
            ("shop.tlq", 4, "error", "Integer 'count' missing constraint"),
            ("shop.tlq", 7, "error", "Unexpected token: x"),
            ("shop.tlqcfg", 3, "warning", "Unable to locate item: Order.missing"),
        ])
        # A workspace without one: the open file, named by its absolute path,
        # from a folder below the workspace's.
        loose = scratch / "loose"
        (loose / "defs").mkdir(parents=True)
        shutil.copy(HERE / "broken" / "shop.tlq", loose / "defs" / "orders.tlq")
        ok &= check("loose file", problems(bin_dir, loose, loose / "defs" / "orders.tlq"), [
            ("defs/orders.tlq", 4, "error", "Integer 'count' missing constraint"),
            ("defs/orders.tlq", 7, "error", "Unexpected token: x"),
        ])
    if ok:
        print("vscode task and problem matcher: ok")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
