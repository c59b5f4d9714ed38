#!/usr/bin/env python3
"""The browser version used in headless chromium as a child would on a tablet: touch taps
on the keys, a finger tracing on the panel with a palm resting beside it, sound counted at
the audio graph.

    e2e.py SITE_DIR TEST [OUT_DIR]

TEST is one of: typing, keys, dialogs, films, folder, offline, trace, files, question, settings and
screenshots (the keyboard at tablet sizes and a trace's hint). files, folder and
screenshots write into OUT_DIR.
Exits 0 when the test passes.
"""
import functools
import json
import http.server
import os
import re
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, CdpError  # noqa: E402

# The hint's orange dot somewhere on the panel.
HINT_SHOWN = ("(() => { const c = document.getElementById('c1113');"
              " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
              " for (let i = 0; i < d.length; i += 4) if (d[i] > 240 && Math.abs(d[i+1] - 140) < 12"
              " && d[i+2] < 16) return true; return false; })()")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a browser closed while a file was on its way


def serve(site):
    server = QuietServer(
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
            f"(() => {{ const e = document.querySelector({json.dumps(selector)});"
            " if (!e || e.hidden || e.offsetParent === null) return null;"
            " const r = e.getBoundingClientRect();"
            " return {x: r.left + r.width / 2, y: r.top + r.height / 2, w: r.width, h: r.height,"
            " text: e.textContent}; })()")

    def tap(self, selector, wait=True):
        r = self.rect(selector)
        check(r is not None, f"{selector} is on the page")
        self.b.tap(r["x"], r["y"])
        if wait:
            self.idle()
        return r

    def line(self):
        return self.b.evaluate("document.getElementById('c1076').textContent").replace("\n", "")

    def menu_command(self, command, wait=True):
        """Opens the menu holding a command and taps the command, as a finger would."""
        title = self.b.evaluate(
            f"(() => {{ const i = document.querySelector('[data-command=\"{command}\"]');"
            " const t = i.closest('.menu').querySelector('.menu-title');"
            " t.id = t.id || ('menu' + Math.random().toString(36).slice(2)); return t.id; })()")
        self.tap(f"#{title}")
        self.tap(f'[data-command="{command}"]', wait)

    def keep_panel(self):
        """Keeps the panel's pixels as they are now, for changed_pixels."""
        self.b.evaluate("(() => { const c = document.getElementById('c1113');"
                        " window.keptPanel = c.getContext('2d').getImageData(0, 0, c.width, c.height); })()")

    def changed_pixels(self, box):
        """How many panel pixels within box (x0, y0, x1, y1) differ from the kept ones."""
        x0, y0, x1, y1 = (int(v) for v in box)
        return self.b.evaluate(
            "(() => { const c = document.getElementById('c1113'), k = window.keptPanel;"
            " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; let n = 0;"
            f" for (let y = Math.max({y0}, 0); y < Math.min({y1}, c.height); ++y)"
            f" for (let x = Math.max({x0}, 0); x < Math.min({x1}, c.width); ++x) {{"
            " const i = 4 * (y * c.width + x);"
            " if (d[i] != k.data[i] || d[i + 1] != k.data[i + 1] || d[i + 2] != k.data[i + 2]) n++; }"
            " return n; })()")


def test_typing(page, url):
    """Touch taps type a line in every set; the first tap's voice reaches the audio graph. The
    page comes with a keyboard of its own, shown while the program loads, which gives way to
    the program's."""
    page.open(url + "?tap=1", 1024, 768)
    shell_keys = page.b.evaluate("fetch('index.html').then(r => r.text())"
                                 ".then(t => (t.match(/class=\"shell-key\"/g) || []).length)")
    check(shell_keys >= 73, f"the page carries the keyboard ({shell_keys} keys)")
    check(page.b.evaluate("!document.getElementById('shell')"), "the page's keyboard gave way to the program's")
    check(page.line() == "", "the line starts empty")
    first = page.tap("#c1000")
    check(page.b.evaluate("zelPage.audio.unlocked"), "the first touch unlocked sound")
    page.b.wait_for("zelPage.audio.log.length >= 1", 30, "the first key's voice started")
    # Counted at the graph: at least a tenth of the voice's samples came out audible.
    voice = page.b.evaluate("zelPage.audio.log[0]")
    page.b.wait_for(f"zelPage.audio.tapSamples > {voice['frames']} / 10", 30,
                    "the first key's voice heard at the graph (sound is %s)" %
                    page.b.evaluate("zelPage.audio.state"))
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
    page.keep_panel()
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
            ink = page.changed_pixels((finger[5][0] - left - 3, finger[5][1] - top - 3,
                                       finger[1][0] - left + 3, finger[1][1] - top + 3))
            check(ink > 0, "ink follows the finger")
            palm_x, palm_y = palm[0] - left, palm[1] - top
            palm_ink = page.changed_pixels((palm_x - 8, palm_y - 8, palm_x + 40, palm_y + 40))
            check(palm_ink == 0, f"the palm drew nothing ({palm_ink} pixels)")
    page.b.touch("touchEnd", [(0, *finger[-1])])
    page.idle()
    check(page.b.evaluate("Module.ccall('zel_stroking', 'number', [], [])") == 0, "the stroke ended")
    page.b.wait_for("zelPage.audio.log.length > %d" % sounds_before, 30, "the check answered with a sound")
    page.b.wait_for(HINT_SHOWN, 30, "the hint's dot shown")

    # The pen button does for a finger what the right button does: the next stroke is magenta,
    # and the button shows it. Every finger is lifted first.
    page.b.touch("touchEnd", [])
    page.idle()
    page.tap("#pen")
    swatch = page.b.evaluate("getComputedStyle(document.getElementById('pen')).getPropertyValue('--pen').trim()")
    check(swatch == "#ff00ff", f"the pen button shows the pen's new colour ({swatch!r})")
    y = top + h * 0.5
    page.b.touch("touchStart", [(0, left + w * 0.3, y)])
    for i in range(1, 8):
        page.b.touch("touchMove", [(0, left + w * (0.3 + 0.05 * i), y)])
    page.idle()  # read while the finger is down: the check takes a wrong stroke's ink away
    magenta = page.b.evaluate(
        "(() => { const c = document.getElementById('c1113');"
        " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; let n = 0;"
        " for (let i = 0; i < d.length; i += 4) if (d[i] > 240 && d[i+1] < 16 && d[i+2] > 240) n++;"
        " return n; })()")
    page.b.touch("touchEnd", [])
    check(magenta > 100, f"the stroke after it is magenta ({magenta} pixels)")


def test_files(page, url, out):
    """Saving the line gives a Shift-JIS file with a CR LF line end, as on the desktop;
    loading a Shift-JIS file puts its first line in the line."""
    os.makedirs(out, exist_ok=True)
    page.b.send("Browser.setDownloadBehavior", session=False, behavior="allow", downloadPath=out)
    page.open(url, 1024, 768)
    typed = "".join(page.tap(f"#c{key}")["text"] for key in (1000, 1001, 1002))
    page.menu_command(1208, wait=False)
    page.b.wait_for("!!document.querySelector('dialog.file-name[open] input')", 30, "the file name asked for")
    page.b.evaluate("document.querySelector('dialog.file-name input').value = 'line'")
    page.tap("dialog.file-name button[value=ok]")
    saved = os.path.join(out, "line.TXT")
    page.b.wait_for(f"zelPage.stats.downloads.includes('line.TXT')", 30, "the line downloaded")
    page.b.wait_until(lambda: os.path.exists(saved), 60, "the download written")
    with open(saved, "rb") as f:
        data = f.read()
    check(data == typed.encode("cp932") + b"\r\n", f"the saved bytes are {data!r}")

    # A file of the desktop's kind: Shift-JIS, CR LF lines, the first line taken.
    loaded = os.path.join(out, "kaki.txt")
    with open(loaded, "wb") as f:
        f.write("かきくけこ\r\nさしす\r\n".encode("cp932"))
    page.b.send("Page.setInterceptFileChooserDialog", enabled=True)
    page.menu_command(1209, wait=False)
    chooser = page.b.wait_until(
        lambda: next((e for e in page.b.events if e.get("method") == "Page.fileChooserOpened"), None),
        60, "the file picker opened")
    page.b.send("DOM.setFileInputFiles", files=[loaded], backendNodeId=chooser["params"]["backendNodeId"])
    page.idle()
    check(page.line() == "かきくけこ", f"the loaded line is {page.line()!r}")


def expect_layout(page, what):
    """The keys stand where the program's layout formulas put them for the page's width."""
    width = page.b.evaluate("document.getElementById('client').offsetWidth")
    key_w = (width - 16) // 15
    gap = (width - 15 * key_w) // 4
    got = page.b.evaluate("(() => { const k = document.getElementById('c1000');"
                          " return [k.offsetLeft, k.offsetWidth]; })()")
    check(got == [width - gap - key_w, key_w], f"{what}: あ stands at {got}, not {[width - gap - key_w, key_w]}")
    return width


def test_keys(page, url):
    """A physical keyboard types through the program's keyboard table (T is か, Shift+T が),
    and a tablet turned lays the page out again."""
    page.open(url, 768, 1024)
    check(expect_layout(page, "upright") == 768, "the page is laid out for its width upright")
    page.b.key("t", "KeyT", 0x54, text="t")
    page.idle()
    page.b.key("T", "KeyT", 0x54, text="T", modifiers=8)
    page.idle()
    check(page.line() == "かが", f"T and Shift+T typed {page.line()!r}")
    page.b.key("Backspace", "Backspace", 0x08)
    page.idle()
    check(page.line() == "か", f"Backspace left {page.line()!r}")
    panel_before = page.rect("#c1113")
    page.b.set_size(1024, 768)
    page.b.wait_for("document.getElementById('client').offsetWidth == 1024 && !zelPage.busy", 30,
                    "the page laid out sideways")
    page.idle()
    expect_layout(page, "sideways")
    panel = page.rect("#c1113")
    check(panel["w"] != panel_before["w"], "the panel took its new size")
    check(page.b.evaluate("document.getElementById('c1113').width") == int(panel["w"]),
          "the panel's canvas has a pixel for each of its CSS pixels")
    check(page.line() == "か", "the line stays when the tablet turns")


OPEN_DIALOG = "document.querySelector('dialog.template[open]')"


def test_dialogs(page, url):
    """The small dialogs from the program's tables: the speeds edited and kept in zel.ini, the
    About box, and the print options, whose choice stays even when cancelled."""
    page.open(url, 1024, 768)
    page.menu_command(1210, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the speed dialog")
    fields = page.b.evaluate(f"[...{OPEN_DIALOG}.querySelectorAll('input')].map(i => i.value)")
    check(len(fields) == 2 and all(f.isdigit() for f in fields), f"the speed fields hold {fields}")
    page.b.evaluate(f"{OPEN_DIALOG}.querySelector('input').value = '350'")
    page.tap("dialog.template button[value='1']")
    check(page.b.evaluate(f"!{OPEN_DIALOG}"), "OK closed the speed dialog")
    # Leaving the page stores the settings, as closing the window does on the desktop.
    page.open(url, 1024, 768)
    check("=350" in page.b.evaluate("localStorage.getItem('mojimori.zel.ini')"), "the new speed is in zel.ini")
    page.menu_command(1210, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the speed dialog again")
    check(page.b.evaluate(f"{OPEN_DIALOG}.querySelector('input').value") == "350",
          "the speed dialog opens on the stored speed after a reload")
    page.tap("dialog.template button[value='2']")

    page.menu_command(100, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the About box")
    check("もじもり！" in page.b.evaluate(f"{OPEN_DIALOG}.textContent"), "the About box names the program")
    page.tap("dialog.template button[value='1']")

    page.tap("#c1000")  # a sheet needs a line to print
    page.menu_command(1204, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the print options")
    page.tap("dialog.template input[data-id='1125']", wait=False)
    page.tap("dialog.template button[value='2']")
    page.menu_command(1204, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the print options again")
    check(page.b.evaluate(f"{OPEN_DIALOG}.querySelector('input[data-id=\"1125\"]').checked"),
          "the size chosen stays though the dialog was cancelled")
    page.tap("dialog.template button[value='2']")

    # The font dialog: bold and red, kept in zel.ini and drawn on the panel.
    page.menu_command(1207, wait=False)
    page.b.wait_for("!!document.getElementById('font-dialog')?.open", 30, "the font dialog")
    check(page.b.evaluate("document.getElementById('font-face').options[0].textContent") == "Mojimori Gothic",
          "the program's own face is offered first")
    page.b.evaluate("(() => { const s = document.getElementById('font-style'); s.value = '2';"
                    " s.dispatchEvent(new Event('change')); const c = document.getElementById('font-colour');"
                    " c.value = String(0xFF0000); c.dispatchEvent(new Event('change')); })()")
    page.tap("#font-dialog .dialog-buttons button[value='ok']")
    page.b.wait_for("!document.getElementById('font-dialog') && !zelPage.busy", 30, "the font dialog closed")
    ini = page.b.evaluate("localStorage.getItem('mojimori.zel.ini')") or ""
    check("Fontweight=700" in ini, f"the bold face is in zel.ini: {ini!r}")
    check("Fontcolor=255" in ini, f"the red colour is in zel.ini (as 0x00BBGGRR): {ini!r}")


def test_print(page, url, out, sheet_check):
    """The practice sheet goes to the browser's print as one A4 page, and printed to PDF its
    boxes stand where the sheet's geometry puts them, as the desktop's check reads them: the
    typed characters on a grey ground, the empty boxes with their guide cross."""
    import base64
    import subprocess
    if not sheet_check or not os.path.exists(sheet_check):
        print(f"SKIPPED: the main tree's sheet_check is not built ({sheet_check})")
        sys.exit(77)
    os.makedirs(out, exist_ok=True)
    page.open(url, 1024, 768)
    # The browser's print dialog is the user's: here the page is printed to PDF in its stead,
    # as it stands when the program asks for the dialog.
    page.b.evaluate("window.print = () => { window.printAsked = (window.printAsked || 0) + 1; }")
    for key in ("#c1000", "#c1001", "#c1002"):  # あいう
        page.tap(key)
    page.menu_command(1204, wait=False)
    page.b.wait_for(f"!!{OPEN_DIALOG}", 30, "the print options")
    page.tap("dialog.template button[value='1']", wait=False)
    page.b.wait_for("zelPage.stats.sheets == 1 && !zelPage.busy", 120, "the sheet handed to the browser's print")
    check(page.b.evaluate("window.printAsked") == 1, "the browser's print was asked for once")
    pdf = os.path.join(out, "sheet.pdf")
    with open(pdf, "wb") as f:
        f.write(base64.b64decode(page.b.send("Page.printToPDF", preferCSSPageSize=True)["data"]))
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    check(re.search(r"^Pages:\s+1$", info, re.M), f"one page: {info}")
    check(re.search(r"^Page size:.*\(A4\)", info, re.M), f"an A4 page: {info}")
    # Read as the desktop's sheets are, coarse for the geometry and fine for the lines' width.
    for dpi in (100, 600):
        subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-singlefile", pdf, os.path.join(out, f"page{dpi}")],
                       check=True)
    # The printable area: the page less a quarter inch all round, at 300 dpi.
    margin, width, height = 75, 2330, 3357
    checked = subprocess.run([sheet_check, os.path.join(out, "page100.pgm"), "100", "0", "3", "300", str(margin),
                              str(margin), str(width), str(height), os.path.join(out, "page600.pgm"), "600"],
                             capture_output=True, text=True)
    print(checked.stdout, checked.stderr)
    check(checked.returncode == 0, "the printed sheet matches its geometry")


BLUE_SHOWN = ("(() => { const c = document.getElementById('c1113');"
              " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; let n = 0;"
              " for (let i = 0; i < d.length; i += 4) if (d[i] < 16 && d[i+1] < 16 && d[i+2] > 240) n++;"
              " return n > 200; })()")


def test_films(page, url):
    """The stroke-order films play on the panel, frame by frame from the one timer: the
    stroke-order strips, then the sharp film once it is switched on; each ends on the
    kana again."""
    page.open(url, 1024, 768)
    for sharp in (False, True):
        if sharp:
            page.menu_command(1220)
        page.tap("#c1000")  # あ
        check(not page.b.evaluate(BLUE_SHOWN), "the kana stands in red before its film")
        page.tap("#c1075", wait=False)  # かきじゅん
        page.b.wait_for(BLUE_SHOWN, 60, f"{'the sharp' if sharp else 'the'} film writing the kana in blue")
        page.b.wait_for(f"!({BLUE_SHOWN}) && !zelPage.busy", 60, "the film's end")


def test_offline(page, url, server):
    """Once opened, the app opens again with the web server gone, and works."""
    page.open(url, 1024, 768)
    page.b.wait_for("navigator.serviceWorker.ready.then(r => !!r.active)", 60, "the app's worker running")
    page.b.wait_for("caches.open('mojimori').then(c => c.match('zel-data.tar.gz')).then(r => !!r)", 60,
                    "the app kept")
    server.shutdown()
    server.server_close()
    page.open(url, 1024, 768)
    first = page.tap("#c1000")
    check(page.line() == first["text"], f"a key typed offline: {page.line()!r}")


def test_folder(page, url, out):
    """A parent's own question file and photo, chosen as files, are kept in the browser's
    storage: after the reload the question shows the photo (its transparent part over
    white), and the child's taps answer it. Files without a question file are refused, and
    the parent can go back to the sample set."""
    from PIL import Image
    os.makedirs(out, exist_ok=True)
    photo = Image.new("RGBA", (320, 200), (255, 0, 0, 255))
    photo.paste((0, 0, 0, 0), (0, 0, 160, 200))  # the left half see-through
    photo.save(os.path.join(out, "aka.png"))
    with open(os.path.join(out, "mondai.txt"), "wb") as f:
        f.write("aka.png,あか\r\n".encode("cp932"))
    page.open(url, 1024, 768)
    check(page.b.evaluate("document.getElementById('parent-sample').hidden"),
          "no way back to the sample while it is in use")
    page.b.send("Page.setInterceptFileChooserDialog", enabled=True)
    # Without the question file, the files are refused and the sample stays.
    choose_files(page, [os.path.join(out, "aka.png")])
    page.b.wait_for("document.getElementById('message').open", 60, "the refusal's message")
    text = page.b.evaluate("document.getElementById('message-text').textContent")
    check("mondai.txt" in text, f"the message names the question file: {text!r}")
    page.tap("#message-buttons button")
    page.b.evaluate("window.beforeTheFiles = true")
    choose_files(page, [os.path.join(out, "mondai.txt"), os.path.join(out, "aka.png")])
    page.b.wait_for("!window.beforeTheFiles && document.documentElement.dataset.ready === 'true'", 120,
                    "the page started again on the parent's files")
    page.idle()
    page.tap("#c1077")  # もんだい
    panel = page.rect("#c1113")
    red = page.b.evaluate(
        "(() => { const c = document.getElementById('c1113');"
        " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; let r = 0, w = 0;"
        " for (let i = 0; i < d.length; i += 4) { if (d[i] > 240 && d[i+1] < 16 && d[i+2] < 16) r++;"
        " else if (d[i] > 240 && d[i+1] > 240 && d[i+2] > 240) w++; } return [r, w]; })()")
    area = panel["w"] * panel["h"]
    check(red[0] > area / 8, f"the photo's red half is on the panel ({red[0]} of {area} pixels)")
    check(red[1] > area / 8, f"its see-through half shows white ({red[1]} of {area} pixels)")
    keys = page.b.evaluate(
        "Object.fromEntries([...document.querySelectorAll('#client > button')]"
        ".filter(b => b.offsetParent).map(b => [b.textContent, '#' + b.id]))")
    for kana in "あか":
        page.tap(keys[kana])
    check(page.line() == "あか", f"the answer typed is {page.line()!r}")

    # Back to the sample set, asked first.
    page.b.evaluate("window.beforeTheSample = true")
    page.tap("#parent-menu .menu-title")
    page.tap("#parent-sample", wait=False)
    page.b.wait_for("document.getElementById('message').open", 60, "the question before going back")
    page.tap("#message-buttons button")  # はい
    page.b.wait_for("!window.beforeTheSample && document.documentElement.dataset.ready === 'true'", 120,
                    "the page started again on the sample set")
    check(page.b.evaluate("document.getElementById('parent-sample').hidden"), "the sample set is in use again")


def choose_files(page, paths):
    """Chooses files in the parent's menu, as a parent would in the file picker."""
    events = len(page.b.events)
    page.tap("#parent-menu .menu-title")
    page.tap("#parent-files", wait=False)
    chooser = page.b.wait_until(
        lambda: next((e for e in page.b.events[events:] if e.get("method") == "Page.fileChooserOpened"), None),
        60, "the file picker opened")
    page.b.send("DOM.setFileInputFiles", backendNodeId=chooser["params"]["backendNodeId"], files=paths)


SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "sample", "mondai.txt")


def test_question(page, url):
    """The built-in sample set asks a picture question, and a child's taps answer it: a
    wrong key leaves the line as it was, a right one adds its kana, until the line is the
    picture's name."""
    answers = []
    with open(SAMPLE, "rb") as f:
        for raw in f.read().split(b"\r\n"):
            line = raw.decode("cp932")
            if line.startswith("#"):
                break
            if "," in line:
                answers.append(line.split(",", 1)[1].strip())
    check(answers, "the sample set has questions")
    page.open(url, 1024, 768)
    keys = page.b.evaluate(
        "Object.fromEntries([...document.querySelectorAll('#client > button')]"
        ".filter(b => b.offsetParent && b.id >= 'c1000' && b.id <= 'c1071')"
        ".map(b => [b.textContent, '#' + b.id]))")
    page.keep_panel()
    page.tap("#c1077")  # もんだい
    check(page.changed_pixels((0, 0, 10000, 10000)) > 1000, "the question's picture is on the panel")
    check(page.line() == "", "a question starts on an empty line")
    typed, candidates, wrong = "", [a for a in answers if all(c in keys for c in a)], 0
    while not (typed in candidates and all(len(a) == len(typed) for a in candidates
                                           if a.startswith(typed))):
        for kana in sorted({a[len(typed)] for a in candidates if len(a) > len(typed)}):
            page.tap(keys[kana])
            if page.line() == typed + kana:
                typed += kana
                break
            check(page.line() == typed, f"a wrong key left the line as it was: {page.line()!r}")
            wrong += 1
        else:
            # An answer that begins another (か and かさ) may be the one asked: once it is
            # typed in full, no key goes on.
            if typed in answers:
                break
            raise AssertionError(f"no key went on from {typed!r}")
        candidates = [a for a in candidates if a.startswith(typed)]
    check(typed in answers, f"the line {typed!r} is a picture's name")
    print(f"answered {typed!r} after {wrong} wrong keys")


def test_check(page, url):
    """The question check opens at once on the sample set's rows, fills in each picture with
    its progress shown, scrolls with the keys, and closes back to the keyboard."""
    lines = []
    with open(SAMPLE, "rb") as f:
        for raw in f.read().split(b"\r\n"):
            if raw.startswith(b"#"):
                break
            if b"," in raw:
                lines.append(raw)
    questions = len(lines)
    pictures = sum(1 for raw in lines if raw.lower().split(b",")[0].endswith(b".bmp"))
    page.open(url, 1024, 768)
    page.menu_command(1222, wait=False)
    page.b.wait_for("document.getElementById('check-window')?.open", 60, "the check's window")
    rows = page.b.evaluate("document.querySelectorAll('#check-window tbody tr').length")
    check(rows >= questions, f"a row for each of the {questions} questions ({rows} rows)")
    page.b.wait_for("document.querySelectorAll('#check-window .check-picture canvas').length >= %d"
                    " && document.querySelector('#check-window progress').hidden" % pictures, 120,
                    "every question's picture shown and the progress gone")
    summary = page.b.evaluate("document.querySelector('#check-window .check-summary').textContent")
    check(f"クイズに 出る もんだい: {questions} こ" in summary, f"the summary counts the questions: {summary!r}")
    marks = page.b.evaluate("[...document.querySelectorAll('#check-window tbody tr td:first-child')]"
                            ".filter(td => td.textContent.startsWith('○')).length")
    check(marks == questions, f"each question is marked ○ ({marks})")
    page.b.key("End", "End", 0x23)
    page.b.wait_for("document.querySelector('#check-window .check-list').scrollTop > 0", 30,
                    "End scrolled the list")
    page.b.key("Home", "Home", 0x24)
    page.b.wait_for("document.querySelector('#check-window .check-list').scrollTop == 0", 30,
                    "Home scrolled it back")
    page.tap("#check-window .check-buttons button")
    page.b.wait_for("!document.getElementById('check-window')", 30, "the window closed")
    page.idle()
    first = page.tap("#c1000")
    check(page.line() == first["text"], f"a key types after the check: {page.line()!r}")


def test_settings(page, url):
    """zel.ini's bytes stay in the browser's storage across a reload: a help switched on is
    still on."""
    page.open(url, 1024, 768)
    item = "document.querySelector('[data-command=\"1221\"]').getAttribute('aria-checked')"
    check(page.b.evaluate(item) == "false", "the tracing check starts off")
    page.menu_command(1221)
    check(page.b.evaluate(item) == "true", "the tracing check is on")
    stored = page.b.evaluate("localStorage.getItem('mojimori.zel.ini')")
    check(stored and "\r\n" in stored, f"zel.ini is kept with CR LF lines: {stored!r}")
    page.open(url, 1024, 768)
    check(page.b.evaluate(item) == "true", "the tracing check is still on after a reload")


def test_screenshots(page, url, out):
    os.makedirs(out, exist_ok=True)
    for name, width, height in (("portrait", 768, 1024), ("landscape", 1024, 768)):
        page.open(url, width, height)
        page.tap("#c1003")
        page.b.wait_for("!zelPage.busy")
        page.b.screenshot(os.path.join(out, f"keyboard-{name}.png"))
    # A finger's stroke the tracing check does not take: its hint shows where to start.
    page.menu_command(1221)
    page.tap("#c1001")
    panel = page.rect("#c1113")
    left, top = panel["x"] - panel["w"] / 2, panel["y"] - panel["h"] / 2
    page.b.touch("touchStart", [(0, left + panel["w"] * 0.8, top + panel["h"] * 0.85)])
    for i in range(1, 8):
        page.b.touch("touchMove", [(0, left + panel["w"] * (0.8 - 0.08 * i), top + panel["h"] * 0.85)])
    page.b.touch("touchEnd", [])
    page.idle()
    page.b.wait_for(HINT_SHOWN, 30, "the hint's dot shown")
    page.b.screenshot(os.path.join(out, "trace-hint.png"))


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
        elif test == "files":
            test_files(page, url + "index.html", out)
        elif test == "dialogs":
            test_dialogs(page, url + "index.html")
        elif test == "folder":
            test_folder(page, url + "index.html", out)
        elif test == "offline":
            test_offline(page, url + "index.html", server)
        elif test == "films":
            test_films(page, url + "index.html")
        elif test == "keys":
            test_keys(page, url + "index.html")
        elif test == "question":
            test_question(page, url + "index.html")
        elif test == "print":
            test_print(page, url + "index.html", out, sys.argv[4] if len(sys.argv) > 4 else None)
        elif test == "check":
            test_check(page, url + "index.html")
        elif test == "settings":
            test_settings(page, url + "index.html")
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
