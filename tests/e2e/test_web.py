# The game built for a browser, served from a local server and played in headless Chromium.
import io, os, socket, subprocess, sys, tempfile, time
import pytest
from PIL import Image, ImageChops, ImageFilter
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from conftest import DATA, Game, count, green_text, wait_until

WEB = os.environ.get("CUBOMB_WEB", "")
SIZE = (800, 600)
SHIPPED = "".join(l for l in open(os.path.join(DATA, "game_parameters.txt")) if not l.startswith("screen_"))
grey = lambda r, g, b: r > 60 and abs(r - g) < 20 and abs(r - b) < 30


def serve():
    """Serves the browser build on a free port: yields its address, then stops."""
    assert os.path.exists(os.path.join(WEB, "cubomb.wasm")), "the browser build, by scripts/web --build"
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    server = subprocess.Popen([sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1", "--directory", WEB],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    address = "http://127.0.0.1:%d/" % port
    assert wait_until(lambda: socket.socket().connect_ex(("127.0.0.1", port)) == 0, 10)
    yield address
    server.kill()
    server.wait()


@pytest.fixture(scope="module")
def url():
    yield from serve()


class Page:
    """One browser with a profile of its own, which keeps its IndexedDB across reloads."""

    def __init__(self, url):
        self.url, options = url, webdriver.ChromeOptions()
        for flag in ("--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                     "--no-first-run", "--disable-background-networking", "--disable-component-update",
                     "--autoplay-policy=no-user-gesture-required", "--user-data-dir=" + tempfile.mkdtemp(prefix="cubomb-web-")):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": SIZE[0], "height": SIZE[1], "deviceScaleFactor": 1, "mobile": False})
        self.console = []

    def load(self):
        self.driver.get(self.url)
        assert wait_until(lambda: count(self.shot(), grey) > 1000, 60), "the box, drawn"

    def play(self):
        self.driver.find_element(By.ID, "start").click()
        assert wait_until(lambda: not self.driver.find_element(By.ID, "start").is_displayed())

    def shot(self):
        return Image.open(io.BytesIO(self.driver.find_element(By.ID, "canvas").screenshot_as_png)).convert("RGB")

    def run(self, script):
        """Runs script with done, a callback, and returns what it was given."""
        return self.driver.execute_async_script("var done = arguments[arguments.length - 1];" + script)

    def read(self, name):
        return self.run("try { done(new TextDecoder().decode(FS.readFile('/cubomb/' + %r))); } catch (e) { done(null); }" % name)

    def start(self, settings):
        """Loads the page, writes these settings, loads it again and plays."""
        self.load()
        self.run("FS.writeFile('/cubomb/game_parameters.txt', %r); FS.syncfs(false, done);" % settings)
        self.load()
        self.play()

    def keys(self, *keys):
        for key in keys:
            ActionChains(self.driver).send_keys(key).perform()
            time.sleep(0.2)

    def click(self, right=False):
        canvas = self.driver.find_element(By.ID, "canvas")
        chain = ActionChains(self.driver).move_to_element(canvas)
        (chain.context_click() if right else chain.click()).perform()

    def logs(self):
        self.console += self.driver.get_log("browser")
        return self.console

    def close(self):
        self.driver.quit()


@pytest.fixture
def page(url):
    opened = []
    yield lambda: opened.append(Page(url)) or opened[-1]
    for each in opened:
        each.close()


def text_rows(shot, below_the_menu=(0, 420, 800, 500)):
    """The rows of pixels that hold text under the menu's items."""
    part = shot.crop(below_the_menu)
    return sum(1 for y in range(part.size[1]) if any(green_text(*part.getpixel((x, y))) for x in range(part.size[0])))


def apart_from_edges(one, other):
    """The share of pixels that differ where the first picture has no edge near."""
    grey_one = one.convert("L")
    edges = grey_one.filter(ImageFilter.FIND_EDGES).point(lambda v: 255 if v > 24 else 0).filter(ImageFilter.MaxFilter(5))
    differ = ImageChops.difference(grey_one, other.convert("L")).point(lambda v: 255 if v > 40 else 0)
    return count(ImageChops.subtract(differ, edges).convert("RGB"), lambda r, g, b: r > 0) / (one.size[0] * one.size[1])


def test_the_page_loads_without_an_error_and_its_first_frame_is_the_desktops(page, game):
    p = page()
    p.load()
    p.play()
    ActionChains(p.driver).move_to_element(p.driver.find_element(By.ID, "canvas")).perform()
    time.sleep(1)
    web = p.shot()
    errors = [e["message"] for e in p.logs() if e["level"] == "SEVERE"]
    assert errors == []
    desktop = game(SHIPPED)
    assert desktop.window()
    below_clock = (0, 20) + SIZE
    assert web.size == SIZE and apart_from_edges(desktop.shot().crop(below_clock), web.crop(below_clock)) < 0.002


def test_a_game_won_in_the_page_is_kept_and_counted_after_a_reload(page):
    p = page()
    p.start(SHIPPED + "dimensions 1 1 1\nnum_mines 1\n")
    p.keys("m", Keys.UP, Keys.UP, Keys.RETURN)  # STATISTICS
    time.sleep(0.5)
    none_yet = text_rows(p.shot())
    p.keys("m")
    p.click(right=True)
    assert wait_until(lambda: "\n1 1 1 1 1 1 " in (p.read("stats.txt") or "")), "won, and counted"
    # The replay follows a frame after the count: none yet is no folder yet.
    listing = ("const d = '/cubomb/Replays';"
               "done(FS.analyzePath(d).exists ? FS.readdir(d).filter(n => n.endsWith('.cubomb')) : [])")
    replays = wait_until(lambda: p.run(listing))
    assert len(replays) == 1
    time.sleep(2)  # the files reach IndexedDB
    p.load()
    assert p.run(listing) == replays, "kept"
    p.play()
    p.keys("m", Keys.UP, Keys.UP, Keys.RETURN)
    assert wait_until(lambda: text_rows(p.shot()) > 1.5 * none_yet > 0), "the statistics count the game: a line more"
    assert [e["message"] for e in p.logs() if e["level"] == "SEVERE"] == []


def test_the_menu_starts_a_small_box(page):
    p = page()
    p.load()
    p.play()
    p.keys("m", Keys.LEFT, Keys.RETURN)
    assert wait_until(lambda: "dimensions 6 6 6\n" in (p.read("game_parameters.txt") or ""))
    assert wait_until(lambda: count(p.shot(), grey) > 1000), "a new game"


def test_the_fly_view_takes_the_pointer_at_the_first_click_and_quit_shows_the_start_again(page):
    p = page()
    p.start(SHIPPED + "camera fly\n")
    assert wait_until(lambda: p.run("done(document.pointerLockElement === Module.canvas)"), 10), "the pointer, held"
    p.keys("m")
    assert wait_until(lambda: not p.run("done(!!document.pointerLockElement)"), 10), "the menu frees it"
    p.keys(Keys.UP, Keys.RETURN)  # QUIT
    assert wait_until(lambda: p.driver.find_element(By.ID, "start").is_displayed(), 10), "CLICK TO PLAY again"


def test_the_canvas_follows_the_window(page):
    p = page()
    p.load()
    p.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {"width": 640, "height": 480, "deviceScaleFactor": 1, "mobile": False})
    assert wait_until(lambda: p.run("done([Module.canvas.width, Module.canvas.height])") == [640, 480], 10)
    assert wait_until(lambda: p.shot().size == (640, 480) and count(p.shot().crop((0, 40, 640, 480)), grey) > 1000)
