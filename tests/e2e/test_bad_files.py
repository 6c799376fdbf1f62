# Files a player edits or replaces, broken every way we could think of: the real
# program either plays on, or stops with its message on standard output, status 1 and nothing written.
# The readers' every message is checked in-process; here, one run per kind of failure.
import os, random, re, shutil, tempfile
import pytest
from PIL import Image
from conftest import DATA, EXE, wait_until

NO_PARAMS = "Error: cannot find game parameters file: game_parameters.txt"
NOT_AN_IMAGE = "Error: could not load image:"
NO_LISTING = "Error: Cannot find file to associate texture names with texture files: \nTextures/texture_listing.txt"


def write(name, content):
    """None removes the file, "folder" puts a folder in its place, anything else replaces its content."""
    def prepare(folder):
        path = os.path.join(folder, name)
        os.path.exists(path) and os.unlink(path)
        content == "folder" and os.mkdir(path)
        content not in (None, "folder") and open(path, "wb").write(content.encode() if isinstance(content, str) else content)
    return prepare


def edit(name, change):
    return write(name, change(open(os.path.join(DATA, name), "rb").read()))


def patch(at, data):
    return lambda b: b[:at] + data + b[at + len(data):]


STOPS = [(write("game_parameters.txt", c), NO_PARAMS) for c in (None, "folder")] + \
        [(write("Textures/texture_listing.txt", c), NO_LISTING) for c in (None, "folder")] + [
    (write("game_parameters.txt", "dimensions 2\0 2 2\n"), "Error: dimensions should be non-negative integers"),
    (write("game_parameters.txt", "camera sideways\n"), "Error: syntax: camera (fly or orbit)"),
    (write("Textures/texture_listing.txt", "grey_block grey_block.png # covered\n"), 'Error: Systax in texture name file must be '
     '"texture_name" "texture_file"\nand neither string can have a whitespace character.\nLine: grey_block grey_block.png # covered'),
    (write("Textures/texture_listing.txt", ""), 'Error: Cannot find texture name "grey_block" in texture name file.'),
    (write("Textures/texture_listing.txt", "grey_block .\n"), "Error: cannot find: Textures/."),
    (write("Textures/texture_listing.txt", "grey_block texture_listing.txt\n"), NOT_AN_IMAGE + "Textures/texture_listing.txt"),
    (write("Textures/grey_block.png", None), "Error: cannot find: Textures/grey_block.png"),
    (write("HelpScreen.jpg", "this is not a picture"), NOT_AN_IMAGE + "HelpScreen.jpg"),
] + [(edit(name, change), NOT_AN_IMAGE + name) for name, change in (
    ("Textures/grey_block.png", lambda b: b[:300]), ("Textures/grey_block.png", patch(100, b"\xff" * 100)),
    ("font_proggy_green.tga", patch(2, b"\x63")), ("font_proggy_green.tga", patch(12, b"\xff" * 4)))]


@pytest.mark.parametrize("prepare,last", STOPS)
def test_a_broken_file_stops_the_game_with_its_message(game, prepare, last):
    g = game(prepare=prepare)
    before = sorted(os.listdir(g.folder))
    assert g.process.wait(60) == 1
    assert ("\n" + "\n".join(g.lines())).endswith("\n" + last) and sorted(os.listdir(g.folder)) == before
    assert not any("Error" in line for line in g.lines(1)), "our messages go to standard output"


def huge_parameters(folder):
    comments = "# padding padding padding padding padding padding padding\n" * ((100 << 20) // 59)
    with open(os.path.join(folder, "game_parameters.txt"), "wb") as f:
        f.write(random.Random(17).randbytes(1 << 16) + ("\n# " + "x" * (1 << 20) + "\n" + comments).encode())
        f.write(("dimensions 2 2 2\ndensity 0\nplayer_name %s\0%s\n" % ("n" * 50, "n" * (1 << 20))).encode())


def odd_pictures(folder):
    for name, keep in (("HelpScreen.jpg", 50000), ("font_proggy_green.tga", 300000)):
        open(os.path.join(folder, name), "r+b").truncate(keep)
    Image.new("RGB", (1, 1), "grey").save(os.path.join(folder, "Textures/grey_block.png"))
    Image.radial_gradient("L").resize((4096, 4096)).save(os.path.join(folder, "Textures/flagged_block.png"))


@pytest.mark.parametrize("prepare", [write("game_parameters.txt", ""), huge_parameters, odd_pictures,
                                     edit("HelpScreen.jpg", patch(2000, b"\0" * 400))])
def test_the_game_plays_on_with_odd_but_readable_files(game, prepare):
    g = game(prepare=prepare)
    assert g.window()
    if prepare is huge_parameters:
        assert wait_until(lambda: os.path.isdir(g.path("Replays")) and os.listdir(g.path("Replays")))
        [name] = os.listdir(g.path("Replays"))
        assert name.endswith(" (" + "n" * 50 + "_" + "n" * 49 + ").cubomb"), "the name is cut to 100 bytes"
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0


def test_a_replay_that_does_not_fit_is_reported_removed_and_the_game_goes_on(game):
    g = game("dimensions 60 60 60\ndensity 0\n", launcher=["prlimit", "--fsize=2500000", "--"])
    assert wait_until(lambda: g.lines() and g.lines()[-1].startswith("Error: could not write replay: "))
    saving, error = g.lines()[-2:]
    assert saving.startswith("Saving replay: ") and error == "Error: could not write replay: " + saving[15:]
    assert os.listdir(g.path("Replays")) == [] and g.window()


def test_a_read_only_replays_folder_is_reported_and_the_game_goes_on(game):
    folder, env = tempfile.mkdtemp(prefix="cubomb-"), {}
    for variable, pattern in (("LD_PRELOAD", r"(.+)"), ("LSAN_OPTIONS", r"suppressions=([^:]+)")):
        found = re.search(pattern, os.environ.get(variable, ""))
        if found:  # what another user runs must be reachable by it, wherever the clone lives
            env[variable] = os.environ[variable].replace(found[1], shutil.copy(found[1], folder))
    user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"] if os.geteuid() == 0 else []
    g = game("dimensions 2 2 2\ndensity 0\n", folder=folder, env=env, launcher=user, exe=shutil.copy(EXE, folder),
             prepare=lambda f: os.chmod(f, 0o777) or os.mkdir(os.path.join(f, "Replays"), 0o555))
    assert wait_until(lambda: any(l.startswith("Error: could not write replay: Replays/") for l in g.lines()))
    assert g.window()
