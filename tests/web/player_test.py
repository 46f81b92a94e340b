"""The page as a player, live in headless Chromium: the music on Web Audio
paces the frame bodies on their 60-per-second grid, the keys seek, pause and
end the show, the page waits for a gesture before sound, and the loop length
is the desktop's.

    player_test.py SITE MUSIC_LENGTH WORK
MUSIC_LENGTH prints the desktop's loop length of an MP3 (tests/web/music_length.cpp).
"""

import base64
import json
import os
import subprocess
import sys
import time
import unittest

from devtools import Browser, SiteServer

SITE, MUSIC_LENGTH, WORK = sys.argv[1:4]
MUSIC = os.path.join(os.path.dirname(os.path.abspath(SITE)), "data", "vorn.mp3")
AUTOPLAY = ["--autoplay-policy=no-user-gesture-required"]
STEP_MS = 1000.0 / 60.0


def frame_lines(console):
    """The trace's frame lines so far, as (body number, show time). A page
    flooding the console may lose some lines: each says which body it is."""
    return [(line["frame"], line["t"]) for line in
            (json.loads(text) for kind, batch in console if kind == "debug"
             for text in batch.split("\n") if text.startswith('{"frame"'))]


def grid_time(k):
    return int(k * 1000 // 60)


def without_gapless_tag(mp3):
    """The MP3 with its first frame (the Xing/Info frame holding the tag) cut out."""
    at = 10 + ((mp3[6] << 21) | (mp3[7] << 14) | (mp3[8] << 7) | mp3[9]) if mp3[:3] == b"ID3" else 0
    while not (mp3[at] == 0xFF and mp3[at + 1] & 0xE0 == 0xE0):
        at += 1
    assert mp3[at + 1] & 0x18 == 0x18, "MPEG 1 only"
    kbps = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320][mp3[at + 2] >> 4]
    rate = [44100, 48000, 32000][(mp3[at + 2] >> 2) & 3]
    length = 144000 * kbps // rate + ((mp3[at + 2] >> 1) & 1)
    side = 17 if (mp3[at + 3] >> 6) == 3 else 32
    assert mp3[at + 4 + side:at + 8 + side] in (b"Info", b"Xing"), "the first frame holds the tag"
    return mp3[:at] + mp3[at + length:]


class LivePage(unittest.TestCase):
    def setUp(self):
        self.server = SiteServer(SITE).__enter__()

    def tearDown(self):
        self.server.__exit__(None, None, None)

    def playing(self, browser, query):
        browser.open(self.server.url("index.html?" + query))
        self.assertTrue(browser.wait_for("window.plovermix && plovermix.moments.playing", 60),
                        browser.console[-5:])

    def test_music_paces_the_grid_and_the_keys_drive_it(self):
        with Browser(flags=AUTOPLAY) as browser:
            self.playing(browser, "autoplay&trace")
            self.assertTrue(browser.wait_for("Module.music.state === 1", 30))
            context_from = browser.evaluate("Module.audioContext.currentTime")
            first = frame_lines(browser.console)[-1]
            browser.settle(5)
            context_to = browser.evaluate("Module.audioContext.currentTime")
            lines = [line for line in frame_lines(browser.console) if line[0] >= first[0]]
            last = lines[-1]
            # Every body on the grid: body n + i at the grid's time i steps after body n's.
            step0 = round(first[1] * 60 / 1000)
            self.assertEqual(grid_time(step0), first[1])
            off_grid = [(n, t) for n, t in lines if t != grid_time(step0 + n - first[0])]
            self.assertEqual(off_grid, [])
            # Five seconds of bodies, and the show's clock followed the audio context's.
            self.assertAlmostEqual((last[0] - first[0]) / 60, context_to - context_from, delta=0.25)
            self.assertEqual(browser.evaluate("document.getElementById('start').hidden"), True)

            browser.press("PageDown")  # to the next scene window's start
            browser.settle(1)
            starts = [0, 12600, 31000, 61500, 68000, 136000, 240000]
            expected = next(start for start in starts if start > last[1])
            later = [t for n, t in frame_lines(browser.console) if n > last[0]]
            jump = next((t for t in later if t >= expected), None)
            self.assertIsNotNone(jump)
            self.assertLess(jump, expected + 200)
            self.assertFalse([t for t in later if last[1] + 1000 < t < expected])

            browser.press("Space")
            browser.settle(0.5)
            paused_body = frame_lines(browser.console)[-1][0]
            paused_music = browser.evaluate("Module.music.position()")
            browser.settle(1.5)
            self.assertEqual(frame_lines(browser.console)[-1][0], paused_body)
            self.assertEqual(browser.evaluate("Module.music.position()"), paused_music)
            browser.press("Space")
            browser.settle(1)
            self.assertGreater(frame_lines(browser.console)[-1][0], paused_body + 30)

            browser.press("Escape")
            self.assertTrue(browser.wait_for("plovermix.done", 10))
            self.assertFalse(browser.evaluate("document.getElementById('end').hidden"))
            self.assertFalse(browser.evaluate("plovermix.failed"))

    def test_without_a_gesture_the_page_waits_on_its_start_screen(self):
        with Browser() as browser:
            browser.open(self.server.url("index.html?autoplay"))
            self.assertTrue(browser.wait_for("!document.getElementById('prompt').hidden", 60))
            time.sleep(1)
            self.assertIsNone(browser.evaluate("plovermix.moments.start"))
            self.assertFalse(browser.evaluate("document.getElementById('start').hidden"))
            browser.click(400, 300)
            self.assertTrue(browser.wait_for("plovermix.moments.playing", 60))
            self.assertEqual(browser.evaluate("Module.audioContext.state"), "running")

    def test_the_loop_length_is_the_desktops(self):
        with open(MUSIC, "rb") as f:
            tagged = f.read()
        untagged_file = os.path.join(WORK, "untagged.mp3")
        with open(untagged_file, "wb") as f:
            f.write(without_gapless_tag(tagged))
        with Browser() as browser:
            browser.open(self.server.url("index.html?fixed-step&frames-at=0"))
            self.assertTrue(browser.wait_for("window.plovermix && plovermix.done", 60))
            for name, path in (("vorn.mp3", MUSIC), ("untagged.mp3", untagged_file)):
                with self.subTest(music=name):
                    desktop = float(subprocess.run([MUSIC_LENGTH, path], capture_output=True,
                                                   text=True, check=True).stdout)
                    with open(path, "rb") as f:
                        data = base64.b64encode(f.read()).decode()
                    page = browser.evaluate(
                        "(async () => { const bytes = Uint8Array.from(atob('%s'), c => c.charCodeAt(0));"
                        " const {loop} = await Module.decodeLoop(new OfflineAudioContext(2, 1, 44100), bytes);"
                        " return loop.length * 1000; })()" % data)
                    print("%s: page %.3f ms, desktop %.3f ms" % (name, page, desktop))
                    self.assertAlmostEqual(page, desktop, delta=1000 / 44100)
            # A browser that keeps the encoder's delay and padding (2841 frames of
            # 1152 samples, delay 576 and padding 918 in our tag): the loop skips them.
            kept = browser.evaluate(
                "(() => { const bytes = FS.readFile('/data/vorn.mp3');"
                " return Module.loopOf(bytes, 2841 * 1152 / 44100); })()")
            self.assertAlmostEqual(kept["start"], (576 + 529) / 44100, places=9)
            self.assertAlmostEqual(kept["length"], 74.18, places=9)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
