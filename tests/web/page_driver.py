"""Drives Debian's Chromium, headless, through its DevTools protocol on a pipe, against a folder
served on 127.0.0.1: open a page, evaluate in it, read its console, click it."""
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")

# WebGL through SwiftShader, and none of Chromium's own connections, which this machine refuses
BASE_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--no-first-run", "--disable-quic", "--window-size=1024,768", "--remote-debugging-pipe",
]


class _quiet_handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


def serve(folder):
    """Serves `folder` on 127.0.0.1 at a free port until .shutdown(); returns the server."""
    handler = functools.partial(_quiet_handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    server.url = "http://127.0.0.1:%d/" % server.server_address[1]
    return server


class browser:
    """One headless Chromium with a fresh profile; messages are NUL-ended JSON on fds 3 and 4."""

    def __init__(self, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="vellamor-chromium-")
        to_chromium_r, self._to_chromium = os.pipe()
        self._from_chromium, from_chromium_w = os.pipe()

        def fds_3_and_4():
            os.dup2(to_chromium_r, 3)
            os.dup2(from_chromium_w, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, *BASE_FLAGS, "--user-data-dir=" + self.profile, *extra_flags, "about:blank"],
            preexec_fn=fds_3_and_4, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_chromium_r)
        os.close(from_chromium_w)
        self._next_id = 0
        self._replies = {}
        self.events = []
        self._arrived = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self._from_chromium, 1 << 16)
            if not chunk:
                break
            pending += chunk
            *messages, pending = pending.split(b"\0")
            with self._arrived:
                for raw in messages:
                    message = json.loads(raw)
                    if "id" in message:
                        self._replies[message["id"]] = message
                    else:
                        self.events.append(message)
                self._arrived.notify_all()

    def send(self, method, params=None, session=None, timeout=60):
        self._next_id += 1
        key = self._next_id
        message = {"id": key, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_chromium, json.dumps(message).encode() + b"\0")
        with self._arrived:
            if not self._arrived.wait_for(lambda: key in self._replies, timeout):
                raise TimeoutError(method + " had no answer in %d s" % timeout)
            reply = self._replies.pop(key)
        if "error" in reply:
            raise RuntimeError("%s: %s" % (method, reply["error"]))
        return reply["result"]

    def open(self, url):
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        opened = page(self, session)
        opened.call("Runtime.enable")
        opened.call("Page.navigate", {"url": url})
        return opened

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except (OSError, TimeoutError, RuntimeError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class page:
    def __init__(self, owner, session):
        self.owner = owner
        self.session = session

    def call(self, method, params=None, timeout=60):
        return self.owner.send(method, params, self.session, timeout)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError("in the page: %s" % result["exceptionDetails"].get("text"))
        return result["result"].get("value")

    def wait_for(self, expression, timeout, step=0.2):
        """Waits until `expression` is truthy in the page; returns its value, or raises."""
        end = time.monotonic() + timeout
        # a page still loading may not have what the expression reads yet
        guarded = "(() => { try { return (%s); } catch (e) { return null; } })()" % expression
        while time.monotonic() < end:
            value = self.evaluate(guarded)
            if value:
                return value
            time.sleep(step)
        raise TimeoutError("the page never had %s within %d s (state %s)"
                           % (expression, timeout, self.evaluate("document.body && document.body.dataset.state")))

    def console(self):
        """Every console message of the page so far, as text."""
        texts = []
        for event in list(self.owner.events):
            if event.get("sessionId") == self.session and event.get("method") == "Runtime.consoleAPICalled":
                texts.append(" ".join(str(a.get("value", a.get("description", ""))) for a in event["params"]["args"]))
        return texts

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})
