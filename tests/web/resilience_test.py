"""The page with everyone's copy, and a page that survives, in headless
Chromium: the viewer's own files (given through the page's file input) play
as the desktop plays the same folder with --data, the whole show in one file
plays from disk, and a lost graphics context is a message with a way back to
the same show time.

    resilience_test.py SITE DESKTOP_PROGRAM FRAME_MATCH WORK
"""

import base64
import os
import shutil
import struct
import subprocess
import sys
import unittest

from devtools import Browser, SiteServer

SITE, DESKTOP, FRAME_MATCH, WORK = sys.argv[1:5]
AUTOPLAY = ["--autoplay-policy=no-user-gesture-required"]
# Some of the show's images, named in mixed case, each one plain colour (none
# black, the colour key); every other file of the show is missing.
OWN_FILES = {"PRESENTS.BMP": (200, 40, 40), "Title.Bmp": (40, 200, 40), "LOGO.bmp": (40, 40, 200),
             "Since.BMP": (200, 200, 40), "sp1.BMP": (200, 40, 200), "TESK.bmp": (40, 200, 200),
             "Clouds.bmp": (120, 120, 120)}


def plain_bmp(path, rgb, width=96, height=64):
    row = bytes(rgb[::-1]) * width  # 24-bit BMPs hold B, G, R; 96 * 3 needs no padding
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


class PageForEveryone(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SiteServer(SITE).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__(None, None, None)

    def test_the_viewers_own_files_play_as_the_desktop_plays_them(self):
        folder = os.path.join(WORK, "own")
        os.makedirs(folder, exist_ok=True)
        for name, rgb in OWN_FILES.items():
            plain_bmp(os.path.join(folder, name), rgb)
        times = ["2000", "9000"]
        out = os.path.join(WORK, "own-desktop")
        desktop = subprocess.run(
            [DESKTOP, "--data", folder, "--fixed-step", "--frames-at", ",".join(times), "--out", out],
            capture_output=True, text=True, timeout=300,
            env=dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy"))
        self.assertEqual(desktop.returncode, 0, desktop.stderr)
        with Browser() as browser:
            browser.open(self.server.url("index.html?own&fixed-step&frames-at=" + ",".join(times)))
            self.assertTrue(browser.wait_for("window.plovermix && document.activeElement.id === 'own'", 60))
            document = browser.send("DOM.getDocument")["root"]["nodeId"]
            files_input = browser.send("DOM.querySelector", nodeId=document, selector="#files")["nodeId"]
            # The input takes a folder, as the viewer's directory picker gives it.
            browser.send("DOM.setFileInputFiles", nodeId=files_input, files=[folder])
            self.assertTrue(browser.wait_for("plovermix.done", 120), browser.console[-5:])
            frames = browser.evaluate("plovermix.frames")
            errors = [text for kind, text in browser.console if kind == "error"]
            notice = browser.evaluate("document.getElementById('said').textContent")
        # The desktop's words for what is missing, without its hint about --data.
        missing = [line for line in desktop.stderr.split("\n") if "files are missing" in line]
        self.assertEqual(len(missing), 1)
        said = missing[0].replace(" from " + folder + ":", " from /own:")
        self.assertTrue(said.endswith(" (use --data DIR)"))
        self.assertIn(said[:-len(" (use --data DIR)")], errors)
        self.assertIn("21 of the show's 28 files are missing", notice)
        for t in times:
            with self.subTest(t=t):
                page_frame = os.path.join(WORK, "own-page-%s.png" % t)
                with open(page_frame, "wb") as png:
                    png.write(base64.b64decode(frames[t].split(",", 1)[1]))
                match = subprocess.run([FRAME_MATCH, os.path.join(out, "frame-%s.png" % t), page_frame],
                                       capture_output=True, text=True)
                self.assertEqual(match.returncode, 0, match.stdout + match.stderr)

    def test_a_lost_context_says_so_and_goes_on_from_the_same_time(self):
        with Browser(flags=AUTOPLAY) as browser:
            browser.open(self.server.url("index.html?autoplay"))
            self.assertTrue(browser.wait_for("window.plovermix && plovermix.showTime > 3000", 60))
            browser.evaluate("document.getElementById('canvas').getContext('webgl2')"
                             ".getExtension('WEBGL_lose_context').loseContext()")
            self.assertTrue(browser.wait_for("!document.getElementById('back').hidden", 10))
            lost_at = browser.evaluate("plovermix.showTime")
            self.assertIn("took the graphics away",
                          browser.evaluate("document.getElementById('said').textContent"))
            browser.settle(1)
            self.assertEqual(browser.evaluate("plovermix.showTime"), lost_at)  # stopped, not frozen black
            browser.evaluate("document.getElementById('back').click()")
            self.assertTrue(browser.wait_for(
                "window.plovermix && location.search.includes('start=') && plovermix.moments.playing", 60))
            self.assertEqual(browser.evaluate("new URLSearchParams(location.search).get('start')"),
                             str(lost_at))
            self.assertTrue(browser.wait_for("plovermix.showTime >= %d" % lost_at, 10))
            self.assertFalse(browser.evaluate("plovermix.contextLost"))


    def test_a_failed_download_says_what_failed(self):
        broken = os.path.join(WORK, "site-without-data")
        shutil.rmtree(broken, ignore_errors=True)
        shutil.copytree(SITE, broken, ignore=shutil.ignore_patterns("plovermix.data"))
        with SiteServer(broken) as server, Browser() as browser:
            browser.open(server.url("index.html"))
            said = browser.wait_for("document.getElementById('said').textContent", 30)
        self.assertIn("The show cannot start", said)
        self.assertIn("plovermix.data", said)


class OneFile(unittest.TestCase):
    """build-web/plovermix.html, opened from disk with no server running."""

    def test_it_plays_from_disk(self):
        single = os.path.join(os.path.dirname(os.path.abspath(SITE)), "plovermix.html")
        stdout = subprocess.run(
            [DESKTOP, "--data", os.path.join(os.path.dirname(single), "data"), "--fixed-step",
             "--frames-at", "9000", "--out", os.path.join(WORK, "single-desktop")],
            capture_output=True, text=True, timeout=300,
            env=dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy")).stdout
        with Browser() as browser:
            browser.open("file://" + single + "?fixed-step&frames-at=9000")
            self.assertTrue(browser.wait_for("window.plovermix && plovermix.done", 120))
            self.assertTrue(browser.evaluate("plovermix.moments.playing > 0"))
            self.assertFalse(browser.evaluate("plovermix.failed"))
            self.assertIn("9000", browser.evaluate("plovermix.frames"))
            self.assertEqual([text for kind, text in browser.console if kind == "log"],
                             stdout.split("\n")[:-1])
            self.assertEqual(browser.exceptions, [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
