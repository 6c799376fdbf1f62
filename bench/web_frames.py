#!/usr/bin/env python3
"""Frames of a flooded box in the browser build (headless Chromium), beside the
desktop's frame bench under llvmpipe, in one run:

    scripts/with-xvfb python3 bench/web_frames.py [side ...]

It serves build-web/, plays each box in the fly view, clicks at the crosshair
until a click floods, and reports frames a second over ten seconds and the
size of the page's memory; then the desktop's BM_Frame for the same side, and
the ratio of the two frame times."""
import os, re, subprocess, sys, time
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
os.environ.setdefault("CUBOMB_EXE", os.path.join(ROOT, "build", "src", "cubomb"))
os.environ.setdefault("CUBOMB_DATA", os.path.join(ROOT, "data"))
os.environ.setdefault("CUBOMB_WEB", os.path.join(ROOT, "build-web"))
import test_web
from conftest import count

def marked(shot):
    """The share of the screen below the text that the markers' colours fill."""
    part = shot.crop((0, 40) + shot.size)
    return count(part, lambda r, g, b: max(r, g, b) - min(r, g, b) > 80) / (part.size[0] * part.size[1])


def flood(p):
    """Clicks at the crosshair until markers fill more than 3 % of the screen, as after a flood; the seconds the last click took.
    Each click is a new game's first, which the shipped rules make safe: a later one could hit a mine, whose red shows as markers."""
    for _ in range(20):
        start = time.monotonic()
        p.click()
        if test_web.wait_until(lambda: marked(p.shot()) > 0.03, 10 + 3e-5 * SIDE[0] ** 3):
            return time.monotonic() - start
        p.keys("n")
    raise SystemExit("no click flooded")


SIDE = [100]


def browser_frame_ms(url, side):
    SIDE[0] = side
    p = test_web.Page(url)
    try:
        p.start(test_web.SHIPPED + "camera fly\ndimensions %d %d %d\nnum_mines 0\n" % (side, side, side))
        seconds = flood(p)
        time.sleep(2)
        frames = p.run("var n = 0, t0 = performance.now(); function f() { if (performance.now() - t0 < 10000) { ++n; requestAnimationFrame(f); }"
                       " else done(n); } requestAnimationFrame(f);")
        heap = p.run("done(HEAP8.length)")
        print("browser %d^3: flood shown after %.1f s, %.2f frames a second, memory %.0f MB" % (side, seconds, frames / 10, heap / 2**20))
        return 10000 / frames
    finally:
        p.close()


def desktop_frame_ms(side):
    bench = os.path.join(ROOT, "build", "bench", "cubomb_frame_bench")
    out = subprocess.run([bench, "--benchmark_filter=BM_Frame/n:%d/scene:1/" % side], capture_output=True, text=True).stdout
    found = re.search(r"BM_Frame/n:%d/scene:1/real_time\s+([\d.]+) ms" % side, out)
    return float(found.group(1)) if found else None


def main():
    sides = [int(a) for a in sys.argv[1:]] or [100]
    server = test_web.serve()
    url = next(server)
    try:
        for side in sides:
            web = browser_frame_ms(url, side)
            desktop = desktop_frame_ms(side)
            if desktop:
                print("desktop %d^3 under llvmpipe: %.1f ms a frame; browser / desktop = %.2f" % (side, desktop, web / desktop))
    finally:
        next(server, None)


if __name__ == "__main__":
    main()
