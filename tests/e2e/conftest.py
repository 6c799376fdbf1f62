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


class Xvfb:
    def __init__(self, size):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % size,
                                        "-noreset", "-nolisten", "tcp"], pass_fds=(write,),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.name = ":" + pipe.readline().strip()

    def stop(self):
        self.server.kill()
        self.server.wait()


class Game:
    """prepare(folder) changes the folder's files before the start; launcher runs the game through a command."""

    def __init__(self, params="dimensions 10 10 10\n", size=(800, 600), args=(), prepare=None, launcher=(),
                 display=True, env=None, folder=None, exe=EXE):
        self.folder = folder or tempfile.mkdtemp(prefix="cubomb-")
        shutil.copytree(DATA, self.folder, dirs_exist_ok=True)
        self.display = Xvfb(size) if display else None
        with open(self.path("game_parameters.txt"), "w") as f:
            f.write("screen_width %d\nscreen_height %d\n%s\n" % (*size, params))
        if prepare:
            prepare(self.folder)
        environment = dict(os.environ, **(env or {}))
        if self.display:
            environment["DISPLAY"] = self.display.name
        self.logs = tempfile.mkdtemp(prefix="cubomb-logs-")
        self.outputs = [open(os.path.join(self.logs, name), "w+") for name in ("stdout", "stderr")]
        self.process = subprocess.Popen([*launcher, exe, *args], cwd=self.folder, env=environment,
                                        stdout=self.outputs[0], stderr=self.outputs[1])

    def path(self, name):
        return os.path.join(self.folder, name)

    def lines(self):
        return open(self.outputs[0].name, errors="replace").read().splitlines()

    def errors(self):
        return open(self.outputs[1].name, errors="replace").read()

    def wait_exit(self, timeout=60):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process.poll() is None

    def xdo(self, *args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display.name),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0

    def window(self, timeout=60):
        """Waits until the frame loop answers a screenshot request, then lets stale requests drain."""
        if not wait_until(lambda: not self.running() or self.xdo("search", "--name", "^Cubomb$"), timeout):
            return False
        if self.shot(timeout) is None:
            return False
        while os.path.exists(self.path("screenshot.bmp")):
            os.unlink(self.path("screenshot.bmp"))
            time.sleep(0.5)
        return self.running()

    def shot(self, timeout=30):
        """Presses P (again after a second without a picture) and returns the game's own screenshot."""
        target = self.path("screenshot.bmp")
        if os.path.exists(target):
            os.unlink(target)
        presses = iter(range(10**6))

        def taken():
            if next(presses) % 10 == 0:
                self.xdo("key", "p")
            time.sleep(0.05)
            try:
                return Image.open(target).convert("RGB")
            except OSError:
                return None if self.running() else False
        return wait_until(taken, timeout) or None

    def close(self):
        if self.running():
            self.process.kill()
        self.process.wait()
        if self.display:
            self.display.stop()
        errors = self.errors()
        for folder in (self.folder, self.logs):
            shutil.rmtree(folder, ignore_errors=True)
        assert "Sanitizer" not in errors and "runtime error" not in errors, errors


@pytest.fixture
def game():
    started = []

    def start(*args, **kwargs):
        started.append(Game(*args, **kwargs))
        return started[-1]
    yield start
    for each in started:
        each.close()
