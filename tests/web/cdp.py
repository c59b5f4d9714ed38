"""Headless chromium driven through the DevTools protocol over a pipe: no packages needed.

Chromium reads commands on its fd 3 and writes answers and events on its fd 4, each a JSON
message ended by a NUL byte.
"""
import base64
import json
import os
import shutil
import subprocess
import tempfile
import time


class CdpError(RuntimeError):
    pass


class Browser:
    def __init__(self, width=1024, height=768):
        self.profile = tempfile.mkdtemp(prefix="zel-chromium-")
        to_child_r, self._to_child = os.pipe()
        self._from_child, from_child_w = os.pipe()
        # The child finds the pipes at fds 3 and 4.
        def wire():
            # Through fresh numbers first, so neither end lands on the other's place.
            read_end, write_end = os.dup(to_child_r), os.dup(from_child_w)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)
        chromium = shutil.which("chromium") or "/usr/bin/chromium"
        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--remote-debugging-pipe", "--no-sandbox",
             "--no-first-run", "--no-default-browser-check", "--disable-gpu",
             "--disable-background-networking", "--disable-component-update",
             "--disable-renderer-backgrounding", "--disable-background-timer-throttling",
             "--mute-audio", f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
             "about:blank"],
            preexec_fn=wire, pass_fds=(3, 4),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_child_r)
        os.close(from_child_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.session = None
        targets = self.send("Target.getTargets", session=False)["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.send("Target.attachToTarget", targetId=page["targetId"], flatten=True,
                                 session=False)["sessionId"]
        for domain in ("Page", "Runtime"):
            self.send(f"{domain}.enable")

    def close(self):
        try:
            self.send("Browser.close", session=False)
        except Exception:
            pass
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
        os.close(self._to_child)
        os.close(self._from_child)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._from_child, 1 << 16)
            if not chunk:
                raise CdpError("chromium closed the pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, session=True, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_child, json.dumps(message).encode() + b"\0")
        while True:
            answer = self._read_message()
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise CdpError(f"{method}: {answer['error']}")
                return answer.get("result", {})
            self.events.append(answer)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise CdpError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=60, what=None):
        """Waits until expression is truthy; a deadline only a hang misses."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                value = self.evaluate(expression)
            except CdpError:
                value = None  # a page still loading
            if value:
                return value
            if time.monotonic() > deadline:
                raise CdpError(f"never came true: {what or expression}")
            try:
                self.evaluate("new Promise(r => setTimeout(r, 20))")
            except CdpError:
                time.sleep(0.02)

    def wait_until(self, condition, timeout=60, what="a condition"):
        """Waits until condition() is truthy, the browser's events read meanwhile."""
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise CdpError(f"never came true: {what}")
            self.evaluate("new Promise(r => setTimeout(r, 20))")

    def set_size(self, width, height, mobile=True, scale=1):
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=mobile)
        self.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)

    def navigate(self, url):
        self.send("Page.navigate", url=url)

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    # ---- Input as a user gives it.
    def touch(self, kind, points):
        self.send("Input.dispatchTouchEvent", type=kind,
                  touchPoints=[{"x": x, "y": y, "id": i} for i, x, y in points])

    def tap(self, x, y):
        self.touch("touchStart", [(0, x, y)])
        self.touch("touchEnd", [])

    def key(self, key, code, vk, text=None, modifiers=0):
        params = {"key": key, "code": code, "windowsVirtualKeyCode": vk, "modifiers": modifiers}
        self.send("Input.dispatchKeyEvent", type="keyDown", **params, **({"text": text} if text else {}))
        self.send("Input.dispatchKeyEvent", type="keyUp", **params)
