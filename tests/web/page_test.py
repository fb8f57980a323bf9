"""The page in headless Chromium, one case per run:
python3 page_test.py CASE WEB_FOLDER VELLAMOR_CAPTURE IMAGE_DIFFERENCE

stills             frames of the still page at a title-strip time, a slide and the model scene
                   against vellamor-capture's frames of the same times
autostart          with ?autostart the caption's time runs at one second a second, and the page
                   reaches its end screen once the show time reaches 83 s
missing_picture    a picture the server lacks is a white quad, as on Linux
missing_soundtrack no soundtrack on the server: the native boxes' messages, on the page and in the console
no_webgl           a browser without WebGL gets a message saying so
"""
import atexit
import base64
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import page_driver  # noqa: E402
import repository  # noqa: E402

SPECTRUM = "0.2,0.15"
# a title-strip time, a slide and the model scene under a card
STILL_TIMES = ["3", "14.3", "40.4"]
MOST_MEAN_DIFFERENCE = 6  # levels of 255
# the caption's text is the native window's; document.title would fold its 30 spaces into one
NOTE_CAPTIONS = """(() => {
  window.captions = [];
  new MutationObserver(() => {
    const found = /^Ostravelle 2008 - Vellamor {30}Time:  (-?[0-9]+[.][0-9]{6})$/.exec(document.querySelector('title').textContent);
    if (found) window.captions.push([performance.now() / 1000, parseFloat(found[1])]);
  }).observe(document.querySelector('title'), {childList: true, characterData: true, subtree: true});
})()"""
CAPTION = re.compile(r"^Ostravelle 2008 - Vellamor {30}Time:  (-?\d+\.\d{6})$")


def scratch_folder():
    """A folder of its own, removed when the test ends."""
    folder = tempfile.mkdtemp(prefix="vellamor-web-")
    atexit.register(shutil.rmtree, folder, True)
    return folder


def fail(text):
    print("FAIL: " + text)
    sys.exit(1)


def difference(a, b):
    """Mean absolute difference of two PNG files over RGB, in levels of 255."""
    out = subprocess.run([IMAGE_DIFFERENCE, a, b], check=True, capture_output=True, text=True).stdout
    return float(out)


def still(browser, server, t, path):
    """The still page's frame at show time t, written to `path`."""
    opened = browser.open(server.url + "index.html?still=%s&spectrum=%s" % (t, SPECTRUM))
    png = opened.wait_for("window.stillPng", 240)
    with open(path, "wb") as f:
        f.write(base64.b64decode(png.split(",", 1)[1]))
    return path


def captured(data_root, times, folder):
    """vellamor-capture's frames at the times, run where `data_root` holds data/; their paths in order."""
    subprocess.run([CAPTURE, "--times", ",".join(times), "--spectrum", SPECTRUM, "--frames", folder,
                    "--out", os.path.join(folder, "sheet.png")], cwd=data_root, check=True, stdout=subprocess.DEVNULL)
    frames = sorted(os.path.join(folder, n) for n in os.listdir(folder) if n != "sheet.png")
    if len(frames) != len(times):
        fail("vellamor-capture wrote %d frames for %d times" % (len(frames), len(times)))
    return frames


def compare_stills(server, data_root, times):
    """The page's stills and the capture's frames at the times: the page's paths, the capture's, and
    the difference of each pair, which must be small."""
    folder = scratch_folder()
    natives = captured(data_root, times, folder)
    with page_driver.browser() as browser:
        pages = [still(browser, server, t, os.path.join(folder, "page-%s.png" % t)) for t in times]
    for t, page_png, native_png in zip(times, pages, natives):
        d = difference(page_png, native_png)
        print("at %5s s: mean difference %.2f/255" % (t, d))
        if d > MOST_MEAN_DIFFERENCE:
            fail("at %s s the page's frame differs from the capture's by %.2f/255" % (t, d))
    return pages, natives


def caption_time(opened):
    """The show time in the page's caption, which must have the native window's form; None before a frame."""
    caption = opened.evaluate("document.querySelector('title').textContent")
    found = CAPTION.match(caption)
    if not found:
        return None
    return float(found.group(1))


def served_without(web, missing):
    """A folder that serves the page as `web` does, less one data file."""
    folder = scratch_folder()
    for name in os.listdir(web):
        if name != "data" and name != "deps":
            os.symlink(os.path.join(web, name), os.path.join(folder, name))
    os.mkdir(os.path.join(folder, "data"))
    for name in os.listdir(os.path.join(web, "data")):
        if name != missing:
            os.symlink(os.path.join(web, "data", name), os.path.join(folder, "data", name))
    return folder


def case_stills(web, source):
    server = page_driver.serve(web)
    pages, natives = compare_stills(server, source, STILL_TIMES)
    server.shutdown()
    # the comparison tells frames apart: the slide is far from the model scene
    apart = difference(pages[1], natives[2])
    if apart <= 4 * MOST_MEAN_DIFFERENCE:
        fail("the slide and the model scene differ by only %.2f/255: the comparison sees nothing" % apart)


def case_autostart(web, source):
    server = page_driver.serve(web)
    with page_driver.browser(["--autoplay-policy=no-user-gesture-required"]) as browser:
        opened = browser.open(server.url + "index.html?autostart")
        opened.wait_for("document.body.dataset.state === 'playing'", 240)
        # each caption as it is written, with the page's clock at that moment
        opened.evaluate(NOTE_CAPTIONS)
        opened.wait_for("window.captions.length > 0 && window.captions.at(-1)[1] >= 4", 120)
        first = opened.evaluate("window.captions.at(-1)")
        time.sleep(30)
        last = opened.evaluate("window.captions.at(-1)")
        rate = (last[1] - first[1]) / (last[0] - first[0])
        print("show time ran %.3f s in %.3f s: %.3f s per second" % (last[1] - first[1], last[0] - first[0], rate))
        if abs(rate - 1) > 0.05:
            fail("the show time ran at %.3f s per second" % rate)
        opened.wait_for("document.body.dataset.state === 'ended'", 83 - last[1] + 90, step=0.5)
        ended = caption_time(opened)
        if ended is None:
            fail("the caption is not the native window's: %r" % opened.evaluate("document.querySelector('title').textContent"))
        print("ended at show time %.3f" % ended)
        if ended < 83:
            fail("the page ended at show time %.3f, before 83 s" % ended)
        if not opened.evaluate("!document.getElementById('again').closest('[hidden]')"):
            fail("the end screen has no Play again")
    server.shutdown()


def case_missing_picture(web, source):
    # Bilde03 is the slide from 13.8 to 14.8 s: white on Linux, where its texture is 0
    served = served_without(web, "Bilde03.jpg")
    server = page_driver.serve(served)
    pages, _ = compare_stills(server, served, ["14.3"])
    server.shutdown()
    # against the slide that is there, the white quad is far off
    whole = scratch_folder()
    if difference(pages[0], captured(source, ["14.3"], whole)[0]) <= 4 * MOST_MEAN_DIFFERENCE:
        fail("the frame without the picture looks like the frame with it")


def case_missing_soundtrack(web, source):
    server = page_driver.serve(served_without(web, repository.soundtrack_file()))
    expected = ["Bass file loading failed!", "Music failed to play!", "Failed to start song at the start"]
    with page_driver.browser() as browser:
        opened = browser.open(server.url + "index.html")
        opened.wait_for("document.body.dataset.state === 'start'", 240)
        opened.click(512, 384)
        opened.wait_for("document.querySelectorAll('#messages li').length >= 3", 60)
        on_page = opened.evaluate("[...document.querySelectorAll('#messages li')].map(li => li.textContent)")
        console = opened.console()
    server.shutdown()
    if on_page != ["ERROR: " + text for text in expected]:
        fail("the page shows %r" % on_page)
    for text in expected:
        if not any(text in line for line in console):
            fail("the console lacks %r" % text)
    if any("Bass init failed" in line for line in console):
        fail("the sound output failed as well")


def case_no_webgl(web, source):
    server = page_driver.serve(web)
    with page_driver.browser(["--disable-webgl"]) as browser:
        opened = browser.open(server.url + "index.html")
        opened.wait_for("document.body.dataset.state === 'unable'", 60)
        text = opened.evaluate("document.getElementById('unable-text').textContent")
    server.shutdown()
    if "WebGL" not in text:
        fail("the page says %r" % text)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        print(__doc__)
        sys.exit(2)
    case, web, CAPTURE, IMAGE_DIFFERENCE = sys.argv[1:]
    if not os.path.exists(os.path.join(web, "vellamor.js")):
        fail("no page in %s: scripts/web.sh builds it" % web)
    globals()["case_" + case](web, repository.repository_root())
