"""The page against the desktop, in headless Chromium: the frames the test
interface hands out match the desktop's --frames-at frames, the console
carries the show's standard output and, with &trace, the same trace, and a
frame the show never reaches is reported as the desktop reports it.

    page_test.py SITE DESKTOP_PROGRAM FRAME_MATCH WORK
SITE is build-web/site; the desktop reads the page's own data (SITE/../data).
"""

import base64
import os
import subprocess
import sys
import unittest

from devtools import Browser, SiteServer

SITE, DESKTOP, FRAME_MATCH, WORK = sys.argv[1:5]
DATA = os.path.join(os.path.dirname(os.path.abspath(SITE)), "data")
# The titles, the node inset over them and over the chess hall, each 3D scene.
MOMENTS = [2000, 9000, 16000, 25000, 45000, 65000, 100000, 180000]
PAGE_SECONDS = 180


def desktop(*args):
    """The desktop's run: (stdout lines, stderr lines, status)."""
    run = subprocess.run([DESKTOP, "--data", DATA, "--fixed-step", *args], capture_output=True,
                         text=True, timeout=300, env=dict(os.environ, SDL_VIDEODRIVER="offscreen",
                                                          SDL_AUDIODRIVER="dummy"))
    return run.stdout.split("\n"), run.stderr.split("\n"), run.returncode


class PageRun:
    """One page load with `query`, to its end."""

    def __init__(self, browser, site, query):
        browser.console.clear()
        browser.open(site.url("index.html?" + query))
        self.done = browser.wait_for("window.plovermix && window.plovermix.done", PAGE_SECONDS)
        self.state = browser.evaluate(
            "({failed: plovermix.failed, lost: plovermix.contextLost, "
            "frames: plovermix.frames, moments: plovermix.moments})")
        self.console = list(browser.console)
        self.exceptions = list(browser.exceptions)

    def lines(self, level):
        return [text for kind, text in self.console if kind == level]


class PageAgainstDesktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SiteServer(SITE).__enter__()
        cls.browser = Browser().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.browser.__exit__(None, None, None)
        cls.server.__exit__(None, None, None)

    def load(self, query):
        run = PageRun(self.browser, self.server, query)
        self.assertTrue(run.done, "the page did not finish: %s" % run.console[-5:])
        self.assertFalse(run.state["lost"], "the WebGL context was lost")
        self.assertEqual(run.exceptions, [])
        return run

    def test_frames_and_console_match_the_desktop(self):
        for t in MOMENTS:
            with self.subTest(t=t):
                out = os.path.join(WORK, "desktop-%d" % t)
                stdout, _, status = desktop("--start", str(t), "--frames-at", str(t), "--out", out)
                self.assertEqual(status, 0)
                run = self.load("fixed-step&start=%d&frames-at=%d" % (t, t))
                self.assertFalse(run.state["failed"])
                # Standard output line for line; the desktop's ends with its last line break.
                self.assertEqual(run.lines("log"), stdout[:-1])
                page_frame = os.path.join(WORK, "page-%d.png" % t)
                url = run.state["frames"][str(t)]
                self.assertTrue(url.startswith("data:image/png;base64,"))
                with open(page_frame, "wb") as png:
                    png.write(base64.b64decode(url.split(",", 1)[1]))
                match = subprocess.run([FRAME_MATCH, os.path.join(out, "frame-%d.png" % t),
                                        page_frame], capture_output=True, text=True)
                print("%6d ms: %s" % (t, match.stdout.strip()))
                self.assertEqual(match.returncode, 0, match.stdout + match.stderr)

    def test_trace_equals_the_desktops(self):
        trace = os.path.join(WORK, "desktop.trace")
        _, _, status = desktop("--frames-at", "500", "--out", os.path.join(WORK, "traced"),
                               "--trace", trace)
        self.assertEqual(status, 0)
        run = self.load("fixed-step&frames-at=500&trace")
        with open(trace) as lines:
            expected = lines.read().split("\n")[:-1]
        self.assertGreater(len(expected), 1000)
        self.assertEqual([line for batch in run.lines("debug") for line in batch.split("\n")],
                         expected)

    def test_a_frame_never_reached_is_reported(self):
        asked = ["--start", "239900", "--frames-at", "250000"]
        _, stderr, status = desktop(*asked, "--out", os.path.join(WORK, "never"))
        self.assertEqual(status, 1)
        run = self.load("fixed-step&start=239900&frames-at=250000")
        self.assertTrue(run.state["failed"])
        self.assertEqual(run.state["frames"], {})
        # The same words; the file named is where each would have written it.
        said = [line.split(";")[0] for line in stderr if "250000" in line]
        self.assertEqual(said, ["plovermix: the show ended before t=250000"])
        self.assertEqual([line.split(";")[0] for line in run.lines("error")], said)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
