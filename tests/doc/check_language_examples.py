#!/usr/bin/env python3
"""Runs every example of the Taloq language reference and compares its output.

Usage: check_language_examples.py DOC TALOQCHK

DOC is the Markdown reference (doc/language.md), TALOQCHK the program to run.

How DOC writes an example:

  ```taloq file=shop.tlq          a source file, written as shop.tlq
  // shop.tlq                     (its first line names it)
  ...
  ```
  ```text file=shop.tlqprj        any other file (project or configuration
  # shop.tlqprj                   file), written as it stands; its first
  ...                             line names it
  ```
  ```console                      the commands run on the files above
  $ taloqchk shop.tlqprj          a command, then its exact output
  ...
  $ echo $?                       the exit status of the command before
  1
  ```

- One or more file blocks come before each console block; they belong to
  that console block alone. NAME is a relative path without "..".
- The first line of a file block is a comment that names the file, so that
  readers see which file is which: "// NAME" in a taloq block, "# NAME" in
  a text block (project and configuration files take "#" comments). It is
  part of the file, and counts in its line numbers.
- Each console block runs in a fresh temporary directory that holds exactly
  its files, and the directory is removed afterwards. Its commands run one
  after the other in that directory.
- A command is `taloqchk ARGUMENTS...` (the program under test is run with
  those arguments; standard output and standard error are taken together)
  or `echo $?`. Every argument of a taloqchk command that is neither a flag
  (leading "-") nor a "+" separator must be one of the files given.
- The banner at the start of the output (the line "Taloqchk - Check Taloq
  message definition. V...", the copyright line, the web-page line and the
  empty line after them) is dropped before the comparison; nothing else is.
- The lines after a command, up to the next command or the end of the
  block, are its output, compared exactly (blank lines and blanks at the
  ends of lines included).

The check fails (status 1) and says where when an output or a status
differs (with a diff), when a block is malformed (a console block without
files before it, a file block that no console block uses, a taloq block
without file=, a file block whose first line does not name it, a file
given twice, output before the first command, an unknown command, a
command naming a file not given, an unterminated or indented fence), when
a line of the document begins with "." or "'" (the manual page made from
the document would lose it) or a line of a block with "## " or "### " (the
manual page would take it for a heading), and when the document has no
example at all. Wrong usage gives status 2.
"""

import difflib
import os
import re
import shlex
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^(\s*)(`{3,}|~{3,})(.*)$")
FILE_INFO = re.compile(r"^(taloq|text)(?:\s+file=(\S+))?\s*$")
BANNER_FIRST = re.compile(r"^Taloqchk - Check Taloq message definition\. V\S+$")


class Doc:
    """The parsed document: its examples and the problems found in it."""

    def __init__(self, path):
        self.path = path
        self.problems = []
        self.examples = []  # (line, files {name: text}, console lines [(line, text)])

    def problem(self, line, message):
        self.problems.append(f"{self.path}:{line}: {message}")


def read_blocks(doc, lines):
    """Yields (line of the opening fence, info string, content lines with line numbers)."""
    i = 0
    while i < len(lines):
        text = lines[i]
        match = FENCE.match(text)
        if not match:
            if text.lstrip().startswith((".", "'")):
                doc.problem(i + 1, "line begins with '.' or \"'\"; the manual page would lose it")
            i += 1
            continue
        indent, fence, info = match.groups()
        opened = i + 1
        if indent:
            doc.problem(opened, "indented fence; write fences at the start of the line")
        content = []
        i += 1
        closed = False
        while i < len(lines):
            close = FENCE.match(lines[i])
            if close and close.group(2)[0] == fence[0] and len(close.group(2)) >= len(fence) \
                    and close.group(3).strip() == "":
                closed = True
                i += 1
                break
            if lines[i].startswith((".", "'")):
                doc.problem(i + 1, "code line begins with '.' or \"'\"; the manual page would lose it")
            if lines[i].startswith(("## ", "### ")):
                doc.problem(i + 1, "code line begins with '## ' or '### '; the manual page would "
                                   "take it for a heading")
            content.append((i + 1, lines[i]))
            i += 1
        if not closed:
            doc.problem(opened, "unterminated fence")
            return
        yield opened, info.strip(), content


def parse(path):
    doc = Doc(path)
    with open(path, encoding="utf-8") as stream:
        lines = stream.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    files = {}
    files_line = None
    for opened, info, content in read_blocks(doc, lines):
        words = info.split()
        kind = words[0] if words else ""
        if kind in ("taloq", "text"):
            match = FILE_INFO.match(info)
            name = match.group(2) if match else None
            if name is None:
                if kind == "taloq" or "file=" in info:
                    doc.problem(opened, f"file block without a valid file=NAME: '{info}'")
                continue
            if os.path.isabs(name) or ".." in name.split("/"):
                doc.problem(opened, f"file name must be relative, without '..': {name}")
                continue
            caption = ("// " if kind == "taloq" else "# ") + name
            if not content or content[0][1] != caption:
                doc.problem(opened, f"the first line of the block must be '{caption}'")
            if name in files:
                doc.problem(opened, f"file {name} given twice for one example")
                continue
            files[name] = "".join(text + "\n" for _, text in content)
            if files_line is None:
                files_line = opened
        elif kind == "console":
            if not files:
                doc.problem(opened, "console block without file blocks before it")
            doc.examples.append((opened, files, content))
            files = {}
            files_line = None
    if files:
        doc.problem(files_line, "file block(s) not followed by a console block: " + ", ".join(files))
    return doc


def strip_banner(lines):
    """Drops the four banner lines at the start; returns (lines, problem or None)."""
    if not lines or not BANNER_FIRST.match(lines[0]):
        return lines, None
    if len(lines) < 4 or not lines[1].startswith("Copyright") or lines[3] != "":
        return lines, "the banner does not have its four lines"
    return lines[4:], None


def split_commands(doc, opened, content):
    """Splits a console block into [(line, argv, expected output lines)]."""
    commands = []
    for number, text in content:
        if text.startswith("$ "):
            try:
                argv = shlex.split(text[2:])
            except ValueError as error:
                doc.problem(number, f"cannot read the command: {error}")
                return None
            commands.append((number, argv, []))
        elif not commands:
            doc.problem(number, "output before the first command of the block")
            return None
        else:
            commands[-1][2].append(text)
    if not commands:
        doc.problem(opened, "console block without a command")
        return None
    return commands


def check_command(doc, number, argv, files, after_taloqchk):
    if argv == ["echo", "$?"]:
        if not after_taloqchk:
            doc.problem(number, "'echo $?' without a taloqchk command before it")
            return False
        return True
    if not argv or argv[0] != "taloqchk":
        doc.problem(number, f"unknown command: {' '.join(argv)}")
        return False
    ok = True
    for argument in argv[1:]:
        if argument.startswith(("-", "+")):
            continue
        if argument not in files:
            doc.problem(number, f"the command names {argument}, which the example does not give")
            ok = False
    return ok


def run_example(doc, taloqchk, opened, files, content):
    """Runs one console block; returns the number of commands run (0 when malformed)."""
    commands = split_commands(doc, opened, content)
    if commands is None:
        return 0
    valid = True
    after_taloqchk = False
    for number, argv, _ in commands:
        valid = check_command(doc, number, argv, files, after_taloqchk) and valid
        after_taloqchk = after_taloqchk or argv[:1] == ["taloqchk"]
    if not valid:
        return 0
    with tempfile.TemporaryDirectory(prefix="taloq-doc-") as directory:
        for name, text in files.items():
            target = os.path.join(directory, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w", encoding="utf-8", newline="") as stream:
                stream.write(text)
        status = None
        for number, argv, expected in commands:
            if argv == ["echo", "$?"]:
                actual = [str(status)]
            else:
                result = subprocess.run([taloqchk] + argv[1:], cwd=directory,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                status = result.returncode
                text = result.stdout.decode("utf-8", errors="replace")
                actual = text.split("\n")
                if actual[-1] == "":
                    actual.pop()
                actual, banner_problem = strip_banner(actual)
                if banner_problem:
                    doc.problem(number, banner_problem)
            if actual != expected:
                diff = difflib.unified_diff(expected, actual, "shown in the document",
                                            "printed by the program", lineterm="")
                doc.problem(number, f"output of '$ {' '.join(argv)}' differs:\n" + "\n".join(diff))
    return len(commands)


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    path, taloqchk = sys.argv[1], os.path.abspath(sys.argv[2])
    if not os.access(taloqchk, os.X_OK):
        print(f"{taloqchk}: not an executable program", file=sys.stderr)
        return 2
    doc = parse(path)
    commands = 0
    for opened, files, content in doc.examples:
        commands += run_example(doc, taloqchk, opened, files, content)
    if not doc.examples:
        doc.problem(1, "the document has no examples")
    for problem in doc.problems:
        print(problem)
    print(f"{path}: {len(doc.examples)} examples, {commands} commands checked, "
          f"{len(doc.problems)} problems")
    return 1 if doc.problems else 0


if __name__ == "__main__":
    sys.exit(main())
