"""Figures of the page (bench/RESULTS-web.md): its download, gzip-compressed as a server would send
it; its start-up in headless Chromium (SwiftShader), from navigation to the bank loaded and to the
show's first frame; and its frame rate in each part of the show over one whole autostarted run,
beside the native show's (llvmpipe, under the X server of the caller) when --native names
build/bench/capture/vellamor_part_rates.

Usage: python3 bench/web/page_figures.py [--web build-web] [--native PROGRAM] [--runs N]
(from the repository root; the native show needs a display: run it under xvfb-run)."""
import argparse
import gzip
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
import page_driver  # noqa: E402

PARTS = [("title strips", 0.0, 11.8), ("slideshow", 11.8, 29.3), ("model scene", 29.3, 83.0)]
# what a visitor's browser fetches: the page, the show's program and the data (not the still program)
PAGE_FILES = ["index.html", "page.js", "vellamor.js", "vellamor.wasm"]

# each pass writes the caption: note when, and the show time it says
COUNT_PASSES = """(() => {
  window.passes = [];
  new MutationObserver(() => {
    const found = /Time:  (-?[0-9.]+)$/.exec(document.querySelector('title').textContent);
    if (found) window.passes.push([performance.now() / 1000, parseFloat(found[1])]);
  }).observe(document.querySelector('title'), {childList: true, characterData: true, subtree: true});
})()"""


def download(web):
    files = PAGE_FILES + [os.path.join("data", n) for n in sorted(os.listdir(os.path.join(web, "data")))]
    raw = packed = 0
    for name in files:
        data = open(os.path.join(web, name), "rb").read()
        raw += len(data)
        packed += len(gzip.compress(data, 9))
    print("download: %d files, %.2f MB, %.2f MB gzip-compressed" % (len(files), raw / 1e6, packed / 1e6))
    for name in ["vellamor.wasm", "vellamor.js"]:
        data = open(os.path.join(web, name), "rb").read()
        print("  %s: %.2f MB, %.2f MB compressed" % (name, len(data) / 1e6, len(gzip.compress(data, 9)) / 1e6))


def page_run(server):
    with page_driver.browser(["--autoplay-policy=no-user-gesture-required"]) as browser:
        opened = browser.open(server.url + "index.html?autostart")
        opened.wait_for("document.body.dataset.state === 'playing'", 300, step=0.05)
        opened.evaluate(COUNT_PASSES)
        opened.wait_for("document.body.dataset.state === 'ended'", 300, step=1)
        marks = opened.evaluate("Object.fromEntries(performance.getEntriesByType('mark').map(m => [m.name, m.startTime / 1000]))")
        passes = opened.evaluate("window.passes")
    print("page start-up: program compiled %.2f s after navigation, bank loaded at %.2f s, first frame at %.2f s"
          % (marks["vellamor-compiled"], marks["vellamor-ready"], marks["vellamor-first-frame"]))
    for name, start, until in PARTS:
        inside = [wall for wall, t in passes if start <= t < until]
        span = inside[-1] - inside[0] if len(inside) > 1 else 0
        print("page %s: %d frames in %.2f s, %.1f frames/s" % (name, len(inside), span, (len(inside) - 1) / span if span else 0))


def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])


def main():
    options = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    options.add_argument("--web", default="build-web")
    options.add_argument("--native", help="build/bench/capture/vellamor_part_rates, run from the repository root")
    options.add_argument("--runs", type=int, default=1)
    args = options.parse_args()
    download(args.web)
    server = page_driver.serve(args.web)
    for _ in range(args.runs):
        print("load average: " + load())
        page_run(server)
        if args.native:
            print("load average: " + load())
            native = subprocess.run([args.native], env={**os.environ, "SDL_AUDIODRIVER": "dummy"},
                                    capture_output=True, text=True)
            print("".join(line + "\n" for line in native.stderr.splitlines() if line.startswith("live ")), end="")
    print("load average: " + load())
    server.shutdown()


if __name__ == "__main__":
    start = time.monotonic()
    main()
    print("took %.0f s" % (time.monotonic() - start))
