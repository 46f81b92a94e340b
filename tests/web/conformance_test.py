"""The render tier's conformance cases against the WebGL 2 backend: the
desktop's render tests, built for the browser (build-web/conformance), run on
the page's canvas in headless Chromium (SwiftShader). Every case must pass;
none may skip, as in CI.

    conformance_test.py SITE
"""

import os
import sys
import unittest

from devtools import Browser, SiteServer

SITE = sys.argv[1]
BUILD = os.path.dirname(os.path.abspath(SITE))


class RenderConformanceOnWebGl2(unittest.TestCase):
    def test_every_case_passes(self):
        with SiteServer(BUILD) as server, Browser() as browser:
            browser.open(server.url("conformance/index.html"))
            ended = browser.wait_for("window.conformanceStatus !== undefined", 300)
            report = [text for kind, text in browser.console]
            status = browser.evaluate("window.conformanceStatus")
        print("\n".join(line for line in report if "[" in line))
        self.assertTrue(ended, report[-5:])
        passed = [line for line in report if line.startswith("[  PASSED  ]")]
        self.assertEqual(status, 0, "\n".join(report))
        self.assertEqual(len(passed), 1)
        self.assertFalse([line for line in report if "SKIPPED" in line or "FAILED" in line])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
