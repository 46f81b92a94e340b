"""Headless Chromium driven through the DevTools protocol, and the site served
on 127.0.0.1: what the browser tier's tests and benchmark share.

    with SiteServer(folder) as site, Browser() as browser:
        browser.open(site.url("index.html?fixed-step"))
        browser.wait_for("window.plovermix && window.plovermix.done", 120)
        browser.console   # [(level, text)], every console line so far
"""

import functools
import http.server
import json
import os
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
# WebGL 2 with no GPU: Chromium no longer falls back to SwiftShader by itself.
CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-backgrounding-occluded-windows", "--no-first-run", "--no-default-browser-check",
    "--disable-extensions", "--mute-audio",
]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class SiteServer:
    """A plain static server for `folder` on 127.0.0.1, on a free port."""

    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def url(self, path):
        return "http://127.0.0.1:%d/%s" % (self.server.server_address[1], path)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One headless Chromium with one page of `width` x `height` CSS pixels."""

    def __init__(self, width=800, height=600, flags=()):
        self.size = (width, height)
        self.flags = list(flags)
        self.console = []
        self.exceptions = []
        self.next_id = 0

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="plovermix-chromium-")
        port = free_port()
        self.process = subprocess.Popen(
            [CHROMIUM, *CHROMIUM_FLAGS, *self.flags, "--remote-debugging-address=127.0.0.1",
             "--remote-debugging-port=%d" % port, "--user-data-dir=" + self.profile,
             "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.socket = websocket.create_connection(self._page_socket(port), timeout=600)
        self.send("Runtime.enable")
        self.send("Page.enable")
        self.send("Emulation.setDeviceMetricsOverride", width=self.size[0],
                  height=self.size[1], deviceScaleFactor=1, mobile=False)
        return self

    def __exit__(self, *exc):
        self.socket.close()
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.profile, ignore_errors=True)

    def _page_socket(self, port):
        deadline = time.time() + 30
        while True:
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port) as reply:
                    pages = [t for t in json.load(reply) if t["type"] == "page"]
                if pages:
                    return pages[0]["webSocketDebuggerUrl"]
            except OSError:
                pass
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError("chromium gave no DevTools page on port %d" % port)
            time.sleep(0.1)

    def send(self, method, **params):
        """Sends one command and returns its result; events read meanwhile are kept."""
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def _event(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.console.append((params["type"], text))
        elif method == "Runtime.exceptionThrown":
            self.exceptions.append(params["exceptionDetails"].get("text", "")
                                   + " " + str(params["exceptionDetails"].get("exception", {})
                                               .get("description", "")))

    def open(self, url):
        self.send("Page.navigate", url=url)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def settle(self, seconds):
        """Lets the page run for `seconds`, then takes in what it said meanwhile."""
        time.sleep(seconds)
        self.evaluate("true")

    def wait_for(self, expression, seconds):
        """Polls `expression` until it is truthy; its value, or None after `seconds`."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                value = self.evaluate(expression)
            except RuntimeError:  # the page is not there yet
                value = None
            if value:
                return value
            time.sleep(0.2)
        return None

    KEYS = {"Space": (" ", 32), "PageDown": ("PageDown", 34), "Escape": ("Escape", 27)}

    def press(self, code):
        """A key pressed and let go, as the keyboard sends it."""
        key, number = self.KEYS[code]
        for kind in ("keyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", type=kind, key=key, code=code,
                      windowsVirtualKeyCode=number, text=key if kind == "keyDown" and len(key) == 1 else "")

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)
