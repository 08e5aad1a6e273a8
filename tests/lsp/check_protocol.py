"""Drives the real taloqls with framed messages: a broken document of a
project gets its diagnostics and loses them once a change fixes it;
definition, hover and the outline answer from the model; and every kind of
malformed input is answered (or skipped) without ending the server.

Usage: check_protocol.py TALOQLS"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from lsp_client import Client  # noqa: E402

PROJECT = pathlib.Path(__file__).resolve().parent.parent / "contrib" / "lsp"
failures = []


def expect(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}:\n  expected {expected!r}\n  actual   {actual!r}")


def position(line, character):
    return {"line": line, "character": character}


def ended_within(pid, seconds):
    """True once process `pid` (not our child) no longer runs, within the time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with open(f"/proc/{pid}/stat") as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] == "Z":
                    return True
        except FileNotFoundError:
            return True
        time.sleep(0.1)
    return False


def check_client_watch(server):
    """A server whose input stays open still ends when its client is gone:
    when its parent dies, and when the process named in initialize does."""
    # The parent: a shell that starts the server in the background and ends
    # a moment later (after the server has started and seen its parent).
    # (A background job's input is /dev/null unless redirected: the pipe
    # comes in under its own descriptor.)
    read_end, write_end = os.pipe()
    script = f'"$0" <&{read_end} >/dev/null 2>&1 & echo $!; sleep 1'
    shell = subprocess.run(["sh", "-c", script, server], pass_fds=[read_end],
                           capture_output=True, text=True, check=True)
    os.close(read_end)
    orphan = int(shell.stdout)
    expect("ends when its parent dies", ended_within(orphan, 10), True)
    if not ended_within(orphan, 0):
        os.kill(orphan, signal.SIGKILL)
    os.close(write_end)

    # The named process: started and killed here, while the server's parent lives.
    named = subprocess.Popen(["sleep", "60"])
    watched = Client([server])
    watched.response(watched.request("initialize", {"processId": named.pid, "capabilities": {}}))
    named.kill()
    named.wait()
    try:
        expect("ends when the client process dies", watched.process.wait(timeout=10), 1)
    except subprocess.TimeoutExpired:
        expect("ends when the client process dies", "still running", 1)
        watched.process.kill()
        watched.process.wait()
    for stream in (watched.process.stdin, watched.process.stdout, watched.process.stderr):
        stream.close()


def check_output_closed(server):
    """A server whose client no longer reads its answers ends at the next
    one, though its input stays open."""
    client = Client([server])
    client.process.stdout.close()
    client.request("initialize", {"capabilities": {}})
    try:
        client.process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        failures.append("the server kept running after its output was closed")
        client.process.kill()
        client.process.wait()
    client.process.stdin.close()
    client.process.stderr.close()


def check_short_path(server):
    """A document whose path is as short as a project file's extension, kept
    in the editor only, is checked again when saved with its text."""
    uri = "file:///a.tlq"  # the path /a.tlq: six characters
    client = Client([server])
    client.response(client.request("initialize", {"capabilities": {}}))
    client.notify("initialized", {})
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "taloq", "version": 1, "text": "taloq module A;\nbool b;\n"}})
    expect("short path opened", client.diagnostics(uri), [])
    client.notify("textDocument/didSave", {"textDocument": {"uri": uri},
                                           "text": "taloq module A;\nMissing b;\n"})
    expect("short path saved", [d["message"] for d in client.diagnostics(uri) if d["severity"] == 1],
           ["Unable to expand definition of -Missing- in -b-"])
    expect("exit status (short path)", client.finish(), 0)


def check_new_project(server, scratch):
    """A project file that appears on disk takes in the open document it
    lists: the document is checked with the project's other files."""
    folder = pathlib.Path(scratch) / "new"
    folder.mkdir()
    (folder / "lib.tlq").write_text("taloq module L;\nint<0..9> Small;\n")
    use = folder / "a.tlq"
    use.write_text("taloq module A;\nimport L;\nL::Small a;\n")
    client = Client([server])
    client.response(client.request("initialize", {"rootUri": folder.as_uri(), "capabilities": {}}))
    client.notify("initialized", {})
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": use.as_uri(), "languageId": "taloq", "version": 1, "text": use.read_text()}})
    expect("alone", [d["message"] for d in client.diagnostics(use.as_uri()) if d["severity"] == 1],
           ["Unable to expand definition of -L::Small- in -a-"])
    (folder / "p.tlqprj").write_text("lib.tlq\na.tlq\n")
    client.notify("workspace/didChangeWatchedFiles", {
        "changes": [{"uri": (folder / "p.tlqprj").as_uri(), "type": 1}]})
    expect("in the new project", client.diagnostics(use.as_uri()), [])
    expect("exit status (new project)", client.finish(), 0)


def check_workspace_root(server, scratch):
    """A document below its project is checked with it when the client names
    a workspace root above the document, in any of the protocol's three ways;
    without one it is checked alone."""
    workspace = pathlib.Path(scratch) / "workspace"
    (workspace / "app").mkdir(parents=True)
    (workspace / "all.tlqprj").write_text("types.tlq\napp/use.tlq\n")
    (workspace / "types.tlq").write_text("taloq module T;\nint<0..9> Small;\n")
    use = workspace / "app" / "use.tlq"
    use.write_text("taloq module U;\nimport T;\nstruct M { T::Small s; };\n")
    utf8 = {"general": {"positionEncodings": ["utf-16", "utf-8"]}}
    cases = [  # name, params, the errors of the document, the encoding agreed
        ("rootPath", {"rootPath": str(workspace), "capabilities": utf8}, [], "utf-8"),
        ("rootUri", {"rootUri": workspace.as_uri(), "rootPath": "/nowhere"}, [], "utf-16"),
        ("workspaceFolders", {"workspaceFolders": [{"uri": workspace.as_uri(), "name": "w"}],
                              "rootUri": (workspace / "app").as_uri()}, [], "utf-16"),
        ("no root", {}, ["Unable to expand definition of -T::Small- in -s-"], "utf-16"),
    ]
    for name, params, messages, encoding in cases:
        client = Client([server])
        result = client.response(client.request("initialize", dict({"capabilities": {}}, **params)))
        expect(f"encoding ({name})", result["result"]["capabilities"]["positionEncoding"], encoding)
        client.notify("initialized", {})
        client.notify("textDocument/didOpen", {"textDocument": {
            "uri": use.as_uri(), "languageId": "taloq", "version": 1, "text": use.read_text()}})
        expect(f"workspace given by {name}",
               [d["message"] for d in client.diagnostics(use.as_uri()) if d["severity"] == 1],
               messages)
        expect(f"exit status ({name})", client.finish(), 0)


def check_shared_file(server, scratch):
    """Two projects share a file: a change to it while it is open checks the
    other project's open document again."""
    folder = pathlib.Path(scratch) / "shared"
    folder.mkdir()
    (folder / "a.tlqprj").write_text("lib.tlq\na.tlq\n")
    (folder / "b.tlqprj").write_text("lib.tlq\nb.tlq\n")
    (folder / "a.tlq").write_text("taloq module A;\nimport L;\nL::Small a;\n")
    (folder / "b.tlq").write_text("taloq module B;\nimport L;\nL::Small b;\n")
    lib = "taloq module L;\nint<0..9> /* Smallest */ Small;\nint<0..9> b;\n"
    (folder / "lib.tlq").write_text(lib)
    client = Client([server])
    client.response(client.request("initialize", {"rootUri": folder.as_uri(), "capabilities": {}}))
    client.notify("initialized", {})
    for name in ("b.tlq", "lib.tlq"):
        client.notify("textDocument/didOpen", {"textDocument": {
            "uri": (folder / name).as_uri(), "languageId": "taloq", "version": 1,
            "text": (folder / name).read_text()}})
        expect(f"{name} opened", client.diagnostics((folder / name).as_uri()), [])
    # The definition of a name is in the document's own file, though another
    # file of the run declares the same name on the same line; the range is
    # the name as a whole word.
    for (line, character), (uri, start, end) in [
            ((2, 9), ("b.tlq", position(2, 9), position(2, 10))),
            ((2, 4), ("lib.tlq", position(1, 25), position(1, 30)))]:
        found = client.response(client.request("textDocument/definition", {
            "textDocument": {"uri": (folder / "b.tlq").as_uri()},
            "position": position(line, character)}))["result"]
        expect(f"definition at {line}:{character}", found,
               {"uri": (folder / uri).as_uri(), "range": {"start": start, "end": end}})
    client.notify("textDocument/didChange", {
        "textDocument": {"uri": (folder / "lib.tlq").as_uri(), "version": 2},
        "contentChanges": [{"text": lib.replace("Small", "Tiny")}]})
    expect("the other project's document", [d["message"] for d in client.diagnostics(
        (folder / "b.tlq").as_uri()) if d["severity"] == 1],
        ["Unable to expand definition of -L::Small- in -b-"])
    expect("exit status (shared file)", client.finish(), 0)


def main():
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch) / "shop"
        shutil.copytree(PROJECT, root)
        shop, common = (root / "shop.tlq").as_uri(), (root / "common.tlq").as_uri()
        text = (root / "shop.tlq").read_text()
        client = Client([sys.argv[1]])

        # Before initialize a request is refused, and a notification dropped.
        client.notify("textDocument/didOpen", {"textDocument": {"uri": shop, "text": ""}})
        error = client.response(client.request("textDocument/hover"))["error"]
        expect("request before initialize", error["code"], -32002)

        watching = {"workspace": {"didChangeWatchedFiles": {"dynamicRegistration": True}}}
        result = client.response(client.request("initialize", {
            "rootUri": root.as_uri(), "capabilities": watching}))["result"]
        expect("capabilities", result["capabilities"], {
            "positionEncoding": "utf-16",
            "textDocumentSync": {"openClose": True, "change": 1, "save": {"includeText": False}},
            "definitionProvider": True, "hoverProvider": True, "documentSymbolProvider": True})
        client.notify("initialized", {})
        # A client that can watch files is asked to report the run's files.
        registration = client.wait_for(lambda m: m.get("method") == "client/registerCapability")
        expect("registration", [(r["method"], [w["globPattern"] for w in r["registerOptions"]["watchers"]])
                                for r in registration["params"]["registrations"]],
               [("workspace/didChangeWatchedFiles", ["**/*.tlq", "**/*.tlqprj", "**/*.tlqcfg"])])
        client.send({"jsonrpc": "2.0", "id": registration["id"], "result": None})

        # The typo of line 8 is shown before anything is saved, by the
        # checker and by the linter; the project's other file is clean.
        client.notify("textDocument/didOpen", {"textDocument": {
            "uri": shop, "languageId": "taloq", "version": 1, "text": text}})
        diagnostics = client.diagnostics(shop)
        expect("the project's other file", [m["params"]["diagnostics"] for m in client.seen
                                            if m.get("params", {}).get("uri") == common], [[]])
        expect("broken document", [(d["range"]["start"], d["range"]["end"]["character"],
                                    d["severity"], d.get("code"), d["message"][:40])
                                   for d in diagnostics], [
            (position(7, 2), 16, 1, None, "Unable to expand definition of -Quantiy-"),
            (position(7, 2), 16, 2, "unresolved-reference", "count refers to Quantiy, but module Acme"),
        ])

        # Navigation: a qualified reference leads into the other file, an
        # import alias to the module's statement, a plain one to its line.
        def definition(line, character):
            return client.response(client.request("textDocument/definition", {
                "textDocument": {"uri": shop}, "position": position(line, character)}))["result"]

        expect("definition of C::Address", definition(6, 5), {"uri": common, "range": {
            "start": position(3, 7), "end": position(3, 14)}})
        expect("definition of the alias C", definition(2, 23), {"uri": common, "range": {
            "start": position(1, 13), "end": position(1, 24)}})
        expect("definition of nothing", definition(0, 3), None)
        expect("definition past the last line", definition(999, 0), None)
        hover = client.response(client.request("textDocument/hover", {
            "textDocument": {"uri": shop}, "position": position(5, 4)}))["result"]
        expect("hover of C::Id", [line for line in hover["contents"]["value"].splitlines()
                                  if line.startswith("- kind") or line.startswith("- refers")],
               ["- kind: `int (uns32)`", "- refers to: `C::Id (common.tlq, line 3)`"])
        symbols = client.response(client.request("textDocument/documentSymbol", {
            "textDocument": {"uri": shop}}))["result"]
        expect("outline", [(s["name"], [(c["name"], [g["name"] for g in c["children"]])
                                        for c in s["children"]]) for s in symbols],
               [("Acme.Shop", [("Quantity", []), ("Order", ["id", "to", "count", "note"])])])

        # The fix, not saved: a request at once sees the new text, and the
        # list becomes empty.
        mark = len(client.seen)
        client.notify("textDocument/didChange", {
            "textDocument": {"uri": shop, "version": 2},
            "contentChanges": [{"text": text.replace("Quantiy", "Quantity")}]})
        hover = client.response(client.request("textDocument/hover", {
            "textDocument": {"uri": shop}, "position": position(7, 12)}))["result"]
        expect("hover right after the change", [line for line in hover["contents"]["value"].splitlines()
                                                if line.startswith("- kind")], ["- kind: `int (uns16)`"])
        published = [m["params"]["diagnostics"] for m in client.seen[mark:]
                     if m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == shop]
        expect("fixed document", published[-1] if published else client.diagnostics(shop), [])

        # A file the editor does not hold changes on disk: reported as
        # watched, it is checked again.
        with open(root / "common.tlq", "a") as extra:
            extra.write("Missing broken;\n")
        client.notify("workspace/didChangeWatchedFiles", {"changes": [{"uri": common, "type": 2}]})
        expect("changed on disk", [d["message"][:32] for d in client.diagnostics(common)],
               ["Unable to expand definition of -", "broken refers to Missing, but mo"])

        # Malformed input: each is answered as it deserves, or skipped, and
        # the next request is still served.
        malformed = [  # body, the id of the answer, its code and message
            (b"{not json", None, -32700, "Parse error: the message is not JSON"),
            (b"[1, 2]", None, -32600, "Invalid Request: a message is a JSON object"),
            (b'{"jsonrpc": "2.0", "id": true, "method": "x"}', None, -32600,
             "Invalid Request: an id is a number or a string"),
            (b'{"jsonrpc": "2.0", "id": 70}', 70, -32600, "Invalid Request: the message has no method"),
            (b'{"jsonrpc": "2.0", "id": 71, "method": 5}', 71, -32600,
             "Invalid Request: the method is not a string"),
            (b'{"jsonrpc": "2.0", "id": 72, "method": "textDocument/rename"}', 72, -32601,
             "Method not found: textDocument/rename"),
            (b'{"jsonrpc": "2.0", "id": 73, "method": "textDocument/hover"}', 73, -32602,
             "Invalid params: no object textDocument"),
            (b'{"jsonrpc": "2.0", "id": 75, "method": "initialize", "params": {}}', 75, -32600,
             "Invalid Request: the server is initialized already"),
        ]
        for body, answer_id, code, message in malformed:
            client.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
            error = client.response(answer_id)["error"]
            expect(body.decode(), (error["code"], error["message"]), (code, message))
        client.notify("textDocument/didChange", {"textDocument": {"uri": shop, "version": 3}})
        mark = len(client.seen)
        client.notify("taloq/unknownNotification", {})
        client.notify("workspace/didChangeWatchedFiles", {})
        client.write(b"Content-Length: many\r\n\r\n{\"jsonrpc\": \"2.0\", \"id\": 76, \"method\": \"x\"}")
        client.write(b"Content-Type: text/plain\r\n\r\n{\"jsonrpc\": \"2.0\", \"id\": 77, \"method\": \"x\"}")
        last = client.request("textDocument/documentSymbol", {"textDocument": {"uri": shop}})
        expect("served after bad headers", "result" in client.response(last), True)
        expect("no answer to a notification or a frame with a bad header",
               [m for m in client.seen[mark:-1] if "method" not in m], [])

        expect("exit status", client.finish(), 0)

        # An exit that no shutdown came before is a failure to report.
        abrupt = Client([sys.argv[1]])
        abrupt.notify("exit")
        abrupt.process.stdin.close()
        expect("exit without shutdown", abrupt.process.wait(timeout=20), 1)
        abrupt.process.stdout.close()
        abrupt.process.stderr.close()
        check_client_watch(sys.argv[1])
        check_output_closed(sys.argv[1])
        check_short_path(sys.argv[1])
        check_workspace_root(sys.argv[1], scratch)
        check_shared_file(sys.argv[1], scratch)
        check_new_project(sys.argv[1], scratch)
    if failures:
        print("\n".join(failures))
        return 1
    print("taloqls protocol: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
