#!/usr/bin/env python3
"""The browser version used in headless chromium as a child would on a tablet: touch taps
on the keys, a finger tracing on the panel with a palm resting beside it, sound counted at
the audio graph.

    e2e.py SITE_DIR TEST [OUT_DIR]

TEST is one of: typing, trace, screenshots (the keyboard at tablet sizes, into OUT_DIR).
Exits 0 when the test passes.
"""
import functools
import http.server
import os
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, CdpError  # noqa: E402

FROM_CLICK = 0


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve(site):
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}/"


def check(condition, what):
    if not condition:
        raise AssertionError(what)


class Page:
    def __init__(self, browser):
        self.b = browser

    def open(self, url, width, height):
        self.b.set_size(width, height)
        self.b.navigate(url)
        self.b.wait_for("document.documentElement.dataset.ready === 'true'", 120, "the keyboard drawn")
        self.idle()

    def idle(self):
        self.b.wait_for("!zelPage.busy", 60, "the program idle")

    def rect(self, selector):
        return self.b.evaluate(
            f"(() => {{ const e = document.querySelector('{selector}');"
            " if (!e || e.hidden || e.offsetParent === null) return null;"
            " const r = e.getBoundingClientRect();"
            " return {x: r.left + r.width / 2, y: r.top + r.height / 2, w: r.width, h: r.height,"
            " text: e.textContent}; })()")

    def tap(self, selector):
        r = self.rect(selector)
        check(r is not None, f"{selector} is on the page")
        self.b.tap(r["x"], r["y"])
        self.idle()
        return r

    def line(self):
        return self.b.evaluate("document.getElementById('c1076').textContent").replace("\n", "")

    def menu_command(self, command):
        """Opens the menu holding a command and taps the command, as a finger would."""
        title = self.b.evaluate(
            f"(() => {{ const i = document.querySelector('[data-command=\"{command}\"]');"
            " const t = i.closest('.menu').querySelector('.menu-title');"
            " t.id = t.id || ('menu' + Math.random().toString(36).slice(2)); return t.id; })()")
        self.tap(f"#{title}")
        self.tap(f'[data-command="{command}"]')

    def panel_pixels(self, colour, box=None):
        """How many panel pixels are of colour (r, g, b), within box (x0, y0, x1, y1)."""
        r, g, b = colour
        area = "0, 0, c.width, c.height" if box is None else \
            f"{box[0]}, {box[1]}, {box[2] - box[0]}, {box[3] - box[1]}"
        return self.b.evaluate(
            "(() => { const c = document.getElementById('c1113');"
            f" const d = c.getContext('2d').getImageData({area}).data; let n = 0;"
            f" for (let i = 0; i < d.length; i += 4) if (Math.abs(d[i] - {r}) < 8 &&"
            f" Math.abs(d[i + 1] - {g}) < 8 && Math.abs(d[i + 2] - {b}) < 8) n++; return n; }})()")


def test_typing(page, url):
    """Touch taps type a line in every set; the first tap's voice reaches the audio graph."""
    page.open(url + "?tap=1", 1024, 768)
    check(page.line() == "", "the line starts empty")
    first = page.tap("#c1000")
    check(page.b.evaluate("zelPage.audio.unlocked"), "the first touch unlocked sound")
    page.b.wait_for("zelPage.audio.log.length >= 1", 30, "the first key's voice started")
    # Counted at the graph: at least a tenth of the voice's samples came out audible.
    voice = page.b.evaluate("zelPage.audio.log[0]")
    page.b.wait_for(f"zelPage.audio.tapSamples > {voice['frames']} / 10", 30,
                    "the first key's voice heard at the graph")
    expected = first["text"]
    check(page.line() == expected, f"the line after one tap is {expected!r}, not {page.line()!r}")
    for mode in range(4):
        button = page.rect(f"#c{1081 + mode}")
        if button:
            page.tap(f"#c{1081 + mode}")
        else:
            page.menu_command(1200 + mode)
        for key in (1000, 1005, 1010):
            r = page.tap(f"#c{key}")
            expected += r["text"]
            check(page.line() == expected,
                  f"set {mode}: after {r['text']!r} the line is {page.line()!r}, not {expected!r}")
    check(page.b.evaluate("zelPage.audio.log.length") >= 12, "every key spoke")
    keys = page.b.evaluate(
        "[...document.querySelectorAll('#client > button')].filter(b => b.offsetParent)"
        ".map(b => Math.min(b.offsetWidth, b.offsetHeight))")
    check(min(keys) >= 34, f"every button is at least 34 CSS pixels (9 mm) across: {min(keys)}")


def test_trace(page, url):
    """A finger traces on the panel with the tracing check on: ink follows the finger, a palm
    resting beside it neither draws nor breaks the stroke, and a wrong stroke is answered
    with the hint's dot and a sound."""
    page.open(url, 768, 1024)
    page.menu_command(1221)
    check(page.b.evaluate(
        "document.querySelector('[data-command=\"1221\"]').getAttribute('aria-checked')") == "true",
          "the tracing check is on")
    page.tap("#c1001")  # い
    panel = page.rect("#c1113")
    left, top = panel["x"] - panel["w"] / 2, panel["y"] - panel["h"] / 2
    w, h = panel["w"], panel["h"]
    sounds_before = page.b.evaluate("zelPage.audio.log.length")
    # The finger: a stroke from right to left along the bottom, which no kana starts with.
    finger = [(left + w * (0.85 - 0.07 * i), top + h * 0.9) for i in range(11)]
    palm = (left + w * 0.12, top + h * 0.15)
    page.b.touch("touchStart", [(0, *finger[0])])
    for i, point in enumerate(finger[1:], 1):
        points = [(0, *point)]
        if 3 <= i <= 8:  # the palm comes down and moves a little while the finger writes
            points.append((1, palm[0] + 4 * i, palm[1] + 3 * i))
        kind = "touchMove"
        if i == 3:
            kind = "touchStart"
        page.b.touch(kind, points)
        if i == 5:
            page.idle()
            check(page.b.evaluate("Module.ccall('zel_stroking', 'number', [], [])") == 1,
                  "the stroke goes on under the palm")
            ink = page.panel_pixels((0, 0, 0), (int(finger[5][0] - left) - 3, int(finger[5][1] - top) - 3,
                                                int(finger[1][0] - left) + 3, int(finger[1][1] - top) + 3))
            check(ink > 0, "ink follows the finger")
            palm_x, palm_y = int(palm[0] - left), int(palm[1] - top)
            palm_ink = page.panel_pixels((0, 0, 0), (palm_x - 4, palm_y - 4, palm_x + 30, palm_y + 30))
            check(palm_ink == 0, f"the palm drew nothing ({palm_ink} pixels)")
    page.b.touch("touchEnd", [(0, *finger[-1])])
    page.idle()
    check(page.b.evaluate("Module.ccall('zel_stroking', 'number', [], [])") == 0, "the stroke ended")
    page.b.wait_for("zelPage.audio.log.length > %d" % sounds_before, 30, "the check answered with a sound")
    page.b.wait_for("(() => { const c = document.getElementById('c1113');"
                    " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
                    " for (let i = 0; i < d.length; i += 4) if (d[i] > 240 && Math.abs(d[i+1] - 140) < 12"
                    " && d[i+2] < 16) return true; return false; })()", 30, "the hint's dot shown")


def test_screenshots(page, url, out):
    os.makedirs(out, exist_ok=True)
    for name, width, height in (("portrait", 768, 1024), ("landscape", 1024, 768)):
        page.open(url, width, height)
        page.tap("#c1003")
        page.b.wait_for("!zelPage.busy")
        page.b.screenshot(os.path.join(out, f"keyboard-{name}.png"))


def main():
    site, test = sys.argv[1], sys.argv[2]
    out = sys.argv[3] if len(sys.argv) > 3 else "."
    server, url = serve(site)
    browser = Browser()
    page = Page(browser)
    try:
        if test == "typing":
            test_typing(page, url + "index.html")
        elif test == "trace":
            test_trace(page, url + "index.html")
        elif test == "screenshots":
            test_screenshots(page, url + "index.html", out)
        else:
            print(f"unknown test {test}", file=sys.stderr)
            return 2
        errors = [e for e in browser.events if e.get("method") == "Runtime.exceptionThrown"]
        check(not errors, f"the page threw: {errors[:1]}")
    except (AssertionError, CdpError) as failure:
        print(f"FAIL {test}: {failure}", file=sys.stderr)
        for event in browser.events:
            if event.get("method") in ("Runtime.consoleAPICalled", "Runtime.exceptionThrown"):
                print(event["params"], file=sys.stderr)
        return 1
    finally:
        browser.close()
        server.shutdown()
    print(f"ok {test}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
