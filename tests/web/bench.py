#!/usr/bin/env python3
"""The browser version's benchmark, each figure a ratio or a bound measured in one run, in
headless chromium: against a plain page with 85 buttons and a canvas and no wasm, the cold
load to the keyboard drawn; the bytes of a first visit, as sent and as a compressing host
would send them; ink from pointer event to drawn; a tap to its sound starting at the audio
graph. Reports; fails nothing.

    bench.py SITE_DIR [RUNS]
"""
import gzip
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser  # noqa: E402
import e2e  # noqa: E402

PLAIN = """<!doctype html><html lang="ja"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>plain</title></head>
<body><div id="keys">%s</div><canvas id="panel" width="400" height="400"></canvas>
<script>
const ctx = document.getElementById('panel').getContext('2d');
ctx.fillStyle = '#fff'; ctx.fillRect(0, 0, 400, 400); ctx.font = '300px sans-serif';
ctx.fillStyle = '#f00'; ctx.fillText('あ', 50, 320);
requestAnimationFrame(() => { window.drawnAt = performance.now(); });
</script></body></html>""" % "".join(f"<button>{chr(0x3042 + i)}</button>" for i in range(85))


def cold_load(url, drawn, shown=None):
    """Times in ms from navigation start: drawn (when the page works), and shown (when its
    keyboard first stands drawn, if it shows one before it works); and the bytes sent."""
    browser = Browser()
    try:
        browser.set_size(1024, 768)
        browser.send("Network.enable")
        browser.navigate(url)
        at = browser.wait_for(drawn, 120)
        first = browser.evaluate(shown) if shown else at
        sent = sum(e["params"].get("encodedDataLength", 0) for e in browser.events
                   if e.get("method") == "Network.loadingFinished")
        return at, first, sent
    finally:
        browser.close()


def main():
    site = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    server, url = e2e.serve(site)
    plain_dir = tempfile.mkdtemp(prefix="zel-plain-")
    with open(os.path.join(plain_dir, "index.html"), "w", encoding="utf-8") as f:
        f.write(PLAIN)
    plain_server, plain_url = e2e.serve(plain_dir)

    ours, shown, plain, sent = [], [], [], 0
    for _ in range(runs):
        at, first, sent = cold_load(url + "index.html", "zelPage.stats.drawnAt", "window.shellDrawnAt")
        ours.append(at)
        shown.append(first)
        plain.append(cold_load(plain_url + "index.html", "window.drawnAt")[0])
    base = statistics.median(plain)
    print(f"cold load to keyboard drawn (the page's own, before the program): median "
          f"{statistics.median(shown):.0f} ms, plain page {base:.0f} ms, ratio "
          f"{statistics.median(shown) / base:.2f} (budget 1.5)")
    print(f"cold load to the program working: median {statistics.median(ours):.0f} ms, ratio "
          f"{statistics.median(ours) / base:.2f}")
    # What a first visit fetches: not the plain fallbacks of the packed files, which only a
    # browser that cannot unpack gzip takes.
    files = [os.path.join(dirpath, name) for dirpath, _, names in os.walk(site) for name in names
             if name not in ("sw.js", "manifest.webmanifest") and not dirpath.endswith("help")
             and not os.path.exists(os.path.join(dirpath, name + ".gz"))]
    compressed = sum(len(gzip.compress(open(p, "rb").read(), 9)) for p in files)
    print(f"first visit: {sent / 1e6:.2f} MB as sent by this server, {compressed / 1e6:.2f} MB "
          "gzipped as a compressing host sends it (budget 1.5 MB)")

    browser = Browser()
    page = e2e.Page(browser)
    try:
        page.open(url + "index.html?tap=1", 1024, 768)
        browser.evaluate("""(() => { window.inkTimes = []; const call = Module.ccall;
          Module.ccall = function(name, ret, types, args, opts) {
            if (name != 'zel_pointer' || args[0] != 1) return call.apply(this, arguments);
            const t = performance.now(); const r = call.apply(this, arguments);
            inkTimes.push(performance.now() - t); return r; }; })()""")
        panel = page.rect("#c1113")
        left, top = panel["x"] - panel["w"] / 2, panel["y"] - panel["h"] / 2
        for stroke in range(6):
            browser.touch("touchStart", [(0, left + 40, top + 40 + 50 * stroke)])
            for i in range(50):
                browser.touch("touchMove", [(0, left + 40 + 6 * i, top + 40 + 50 * stroke + i % 5)])
            browser.touch("touchEnd", [])
            page.idle()
        ink = sorted(browser.evaluate("inkTimes"))
        print(f"ink, pointer move to drawn: median {statistics.median(ink):.2f} ms, "
              f"p99 {ink[int(len(ink) * 0.99)]:.2f} ms over {len(ink)} moves (budget 4 ms)")
        browser.evaluate("document.getElementById('c1005').addEventListener('pointerup',"
                         " () => { window.tapAt = performance.now(); }, true)")
        delays = []
        for _ in range(12):
            heard = browser.evaluate("zelPage.audio.log.length")
            page.tap("#c1005")
            browser.wait_for(f"zelPage.audio.log.length > {heard}", 30)
            delays.append(browser.evaluate("zelPage.audio.log[zelPage.audio.log.length - 1].at - tapAt"))
        delays = sorted(delays[1:])  # the first tap also makes the audio graph
        print(f"tap to sound start at the graph: median {statistics.median(delays):.1f} ms, "
              f"worst {delays[-1]:.1f} ms (budget 20 ms)")
    finally:
        browser.close()
        server.shutdown()
        plain_server.shutdown()


if __name__ == "__main__":
    main()
