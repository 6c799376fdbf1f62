# The real program in a copy of data/, on an Xvfb of its own, driven with xdotool.
import os, shutil, subprocess, tempfile, time
import pytest
from PIL import Image

EXE, DATA = os.environ["CUBOMB_EXE"], os.environ["CUBOMB_DATA"]


def wait_until(check, timeout=30):
    end = time.monotonic() + timeout
    while not (result := check()) and time.monotonic() < end:
        time.sleep(0.05)
    return result


def count(picture, test, box=None):
    return sum(1 for p in (picture.crop(box) if box else picture).getdata() if test(*p))


def green_text(r, g, b):
    return g > 100 and g > r + 40 and g > b + 40


def start_xvfb(size):
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % size, "-noreset",
                               "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        return server, ":" + pipe.readline().strip()


class Game:
    """prepare(folder) changes the folder's files before the start; launcher runs the game through a command.
    Sound goes nowhere unless env says otherwise."""

    def __init__(self, params="dimensions 10 10 10\n", size=(800, 600), args=(), prepare=None, launcher=(),
                 env=None, folder=None, exe=EXE):
        self.folder = folder or tempfile.mkdtemp(prefix="cubomb-")
        kept = params is None and os.path.exists(self.path("game_parameters.txt"))
        kept = kept and open(self.path("game_parameters.txt"), "rb").read()
        shutil.copytree(DATA, self.folder, dirs_exist_ok=True)
        if kept:  # a folder played in before keeps its own settings
            open(self.path("game_parameters.txt"), "wb").write(kept)
        if params is not None:
            with open(self.path("game_parameters.txt"), "w") as f:
                f.write("screen_width %d\nscreen_height %d\n%s\n" % (*size, params))
        prepare and prepare(self.folder)
        self.outputs = [tempfile.NamedTemporaryFile() for _ in range(2)]
        self.server, self.display = start_xvfb(size)
        try:
            self.process = subprocess.Popen([*launcher, exe, *args], cwd=self.folder, stdout=self.outputs[0],
                                            stderr=self.outputs[1], env={**os.environ, "DISPLAY": self.display, "SDL_AUDIODRIVER": "dummy", **(env or {})})
        except OSError:  # no game to close later: the server goes now
            self.server.kill()
            raise

    def path(self, name):
        return os.path.join(self.folder, name)

    def lines(self, stream=0):
        return open(self.outputs[stream].name, errors="replace").read().splitlines()

    def running(self):
        return self.process.poll() is None

    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display), capture_output=True)

    def window(self):
        """Waits until the frame loop answers a screenshot request, then lets stale requests drain."""
        if self.shot(60) is None:
            return False
        while os.path.exists(self.path("screenshot.bmp")):
            os.unlink(self.path("screenshot.bmp"))
            time.sleep(0.5)
        return self.running()

    def shot(self, timeout=30):
        """Presses P (again after a second without a picture) and returns the game's own screenshot."""
        target, presses = self.path("screenshot.bmp"), iter(range(10**6))
        os.path.exists(target) and os.unlink(target)

        def taken():
            next(presses) % 20 or self.xdo("key", "p")
            try:
                return Image.open(target).convert("RGB")
            except OSError:
                return None if self.running() else False
        return wait_until(taken, timeout) or None

    def close(self):
        self.running() and self.process.kill()
        self.process.wait()
        self.server.kill()
        self.server.wait()
        shutil.rmtree(self.folder, ignore_errors=True)
        errors = "\n".join(self.lines(1))
        assert "Sanitizer" not in errors and "runtime error" not in errors, errors


@pytest.fixture
def game():
    started = []
    yield lambda *args, **kwargs: started.append(Game(*args, **kwargs)) or started[-1]
    for each in started:
        each.close()
