"""A small client of the Language Server Protocol for the tests: starts a
server, writes framed messages, and reads what comes back, each wait bounded
so that a server that does not answer fails the test instead of hanging it."""

import ctypes
import json
import os
import select
import signal
import subprocess

WAIT = 20  # seconds; only a bound for a broken server, never a measurement


def _die_with_parent():
    """Runs in the child before the server starts: when this test is killed
    (a time limit, a broken server that loops), the kernel kills the server
    too instead of leaving it spinning."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Client:
    def __init__(self, command, cwd=None):
        self.process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        preexec_fn=_die_with_parent)
        self.buffer = b""
        self.next_id = 1
        self.seen = []  # every message received, in order

    def write(self, raw):
        self.process.stdin.write(raw)
        self.process.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def request(self, method, params=None):
        self.next_id += 1
        message = {"jsonrpc": "2.0", "id": self.next_id, "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)
        return self.next_id

    def notify(self, method, params=None):
        message = {"jsonrpc": "2.0", "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)

    def _read_frame(self):
        while True:
            end = self.buffer.find(b"\r\n\r\n")
            if end >= 0:
                header = self.buffer[:end].decode()
                length = int(header.split("Content-Length:")[1].split("\r\n")[0])
                if len(self.buffer) >= end + 4 + length:
                    body = self.buffer[end + 4:end + 4 + length]
                    self.buffer = self.buffer[end + 4 + length:]
                    return json.loads(body)
            ready, _, _ = select.select([self.process.stdout], [], [], WAIT)
            if not ready:
                raise AssertionError("the server sent nothing for %d s" % WAIT)
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise AssertionError("the server closed its output")
            self.buffer += chunk

    def wait_for(self, accept):
        """The first message (unread so far) that `accept` returns true for;
        others are kept in `seen`."""
        while True:
            message = self._read_frame()
            self.seen.append(message)
            if accept(message):
                return message

    def response(self, request_id):
        return self.wait_for(lambda m: m.get("id") == request_id and "method" not in m)

    def diagnostics(self, uri):
        return self.wait_for(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                             and m["params"]["uri"] == uri)["params"]["diagnostics"]

    def finish(self):
        """Sends shutdown and exit; returns the exit status."""
        assert self.response(self.request("shutdown"))["result"] is None
        self.notify("exit")
        self.process.stdin.close()
        status = self.process.wait(timeout=WAIT)
        self.process.stdout.close()
        self.process.stderr.close()
        return status
