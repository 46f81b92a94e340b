"""The page's benchmark: the site's size, the time from load to the first
frame, and frames per second per scene window in headless Chromium (WebGL 2
on SwiftShader, 800 x 600), beside the desktop's llvmpipe figures from
bench_show in the same run.

    bench_web.py SITE BENCH_SHOW DATA

Each window is timed over its first SAMPLE_MS of show time on the virtual
clock (a present per step, as fast as the page draws), from the moment its
loading is over.
"""

import gzip
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from devtools import Browser, SiteServer  # noqa: E402

SITE, BENCH_SHOW, DATA = sys.argv[1:4]
WINDOWS = [("titles", 0, 12600), ("chess hall", 12600, 31000), ("tunnel", 31000, 61500),
           ("plant", 61500, 68000), ("greets", 68000, 136000), ("credits", 136000, 240000)]
SAMPLE_MS = 20000
STEP_MS = 1000.0 / 60.0


def sizes():
    print("site: build-web/site (bytes, and gzipped)")
    for name in ("plovermix.wasm", "plovermix.js", "plovermix.data", "index.html"):
        with open(os.path.join(SITE, name), "rb") as f:
            raw = f.read()
        print("  %-16s %10d  %10d" % (name, len(raw), len(gzip.compress(raw, 9))))


def desktop_fps():
    """bench_show's 800 x 600 figures: {window name: fps}."""
    out = subprocess.run([BENCH_SHOW, DATA, "800x600"], capture_output=True, text=True,
                         check=True).stdout
    figures = {}
    for line in out.splitlines():
        for name, _, _ in WINDOWS:
            if line.startswith(name + " "):
                figures[name] = float(line.split("|")[1].split()[0])
    return figures


def page_run(browser, site, query):
    browser.open(site.url("index.html?" + query))
    if not browser.wait_for("window.plovermix && window.plovermix.done", 900):
        raise RuntimeError("the page did not finish: " + query)
    return browser.evaluate("plovermix.moments")


def main():
    sizes()
    desktop = desktop_fps()
    with SiteServer(SITE) as site, Browser() as browser:
        first = page_run(browser, site, "fixed-step&frames-at=0")
        print("load to first frame: %.0f ms (to the end of loading: %.0f ms)"
              % (first["first-frame"], first["playing"]))
        print("%-12s %-14s | %12s | %12s" % ("window", "timed (s)", "page fps", "desktop fps"))
        for name, start, end in WINDOWS:
            until = min(end, start + SAMPLE_MS)
            moments = page_run(browser, site, "fixed-step&start=%d&frames-at=%d" % (start, until))
            frames = (until - start) / STEP_MS
            fps = frames / ((moments["end"] - moments["playing"]) / 1000.0)
            print("%-12s %5.1f-%-8.1f | %12.1f | %12.1f"
                  % (name, start / 1000, until / 1000, fps, desktop.get(name, 0.0)))


main()
