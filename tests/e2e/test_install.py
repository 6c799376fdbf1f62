# The game as a player installs it: the files, the desktop entry and the software centres' listing, the launcher's
# own folder, and the package.
import os, pathlib, subprocess
from PIL import Image

BUILD = os.environ["CUBOMB_BUILD"]
SOUNDS = ["Sounds/%s.wav" % s for s in ("cut", "flag", "hint", "loss", "menu", "opening", "uncover", "unflag", "win")]
GAME_FILES = sorted(["HelpScreen.jpg", "Textures/flagged_block.png", "Textures/grey_block.png", "Textures/mine_block.png",
                     "Textures/texture_listing.txt", "font_proggy_green.tga", "game_parameters.txt"] + SOUNDS)
METAINFO = "share/metainfo/io.github.cubomb.cubomb.metainfo.xml"
FILES = sorted(["games/cubomb", "lib/cubomb/cubomb", "share/applications/cubomb.desktop", "share/man/man6/cubomb.6.gz", METAINFO,
                "share/doc/cubomb/changelog.gz", "share/doc/cubomb/copyright"] +
               ["share/icons/hicolor/%dx%d/apps/cubomb.png" % (s, s) for s in (64, 128, 256)] +
               ["share/cubomb/" + f for f in GAME_FILES])


def files(folder):
    return sorted(str(p.relative_to(folder)) for p in pathlib.Path(folder).rglob("*") if p.is_file())


def test_the_install_holds_the_game_and_its_launcher_keeps_a_folder_of_the_players_own(tmp_path):
    subprocess.run(["cmake", "--install", BUILD, "--prefix", tmp_path / "usr"], check=True, capture_output=True)
    assert files(tmp_path / "usr") == FILES
    validate = subprocess.run(["desktop-file-validate", tmp_path / "usr/share/applications/cubomb.desktop"],
                              capture_output=True, text=True)
    assert validate.returncode == 0 and validate.stdout + validate.stderr == ""
    listing = subprocess.run(["appstreamcli", "validate", "--no-net", "--pedantic", tmp_path / "usr" / METAINFO],
                             capture_output=True, text=True)
    assert listing.returncode == 0 and "Validation was successful." in listing.stdout, listing.stdout
    assert '<release version="1.2"' in (tmp_path / "usr" / METAINFO).read_text()
    for size in (64, 128, 256):
        assert Image.open(tmp_path / ("usr/share/icons/hicolor/%dx%d/apps/cubomb.png" % (size, size))).size == (size, size)
    home, folder = tmp_path / "home", tmp_path / "home/.local/share/cubomb"
    home.mkdir()
    play = lambda home: subprocess.run([tmp_path / "usr/games/cubomb", "--version"], capture_output=True, text=True,
                                       env={k: v for k, v in os.environ.items() if k != "XDG_DATA_HOME"} | {"HOME": str(home)})
    assert play(home).stdout == "Cubomb 1.2\n" and files(folder) == GAME_FILES
    (folder / "game_parameters.txt").write_text("dimensions 3 3 3\n")
    (folder / "HelpScreen.jpg").unlink()
    assert play(home).returncode == 0
    assert (folder / "game_parameters.txt").read_text() == "dimensions 3 3 3\n" and files(folder) == GAME_FILES
    (tmp_path / "not_a_folder").write_text("")
    refused = play(tmp_path / "not_a_folder")
    assert refused.returncode == 1 and refused.stderr.startswith("cubomb: cannot make the game's folder ")


def test_the_debian_package(tmp_path):
    subprocess.run(["cpack", "-G", "DEB", "-B", tmp_path], cwd=BUILD, check=True, capture_output=True)
    package = tmp_path / "cubomb_1.2_amd64.deb"
    listing = subprocess.run(["dpkg-deb", "-c", package], capture_output=True, text=True, check=True).stdout
    assert sorted(line.split()[-1][len("./usr/"):] for line in listing.splitlines() if not line.endswith("/")) == FILES
    control = dict(line.split(": ", 1) for line in subprocess.run(
        ["dpkg-deb", "-f", package], capture_output=True, text=True, check=True).stdout.splitlines() if ": " in line)
    assert (control["Package"], control["Version"], control["Architecture"], control["Section"]) == ("cubomb", "1.2", "amd64", "games")
    for library in ("libsdl1.2debian", "libsdl-image1.2", "libsdl-mixer1.2", "libglew2.2", "libglu1-mesa", "libgl1", "libstdc++6"):
        assert library in control["Depends"]
    checked = subprocess.run(["lintian", package], capture_output=True, text=True)
    findings = [line for line in checked.stdout.splitlines() if line[:2] in ("E:", "W:")]
    assert checked.returncode == 0 and findings == [], checked.stdout
