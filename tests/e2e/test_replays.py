# Watching a won game again, the best-times table, and the command line.
import os, re, subprocess, time
import pytest
from PIL import ImageChops
from conftest import EXE, count, green_text, wait_until
from test_play import cleared, saved

TWO_CUBES = "dimensions 1 1 2\nnum_mines 1\nhighlight_target 0\nplayer_name ../../x:y\n"


def run(folder, *args):
    return subprocess.run([EXE, *args], cwd=folder, capture_output=True, text=True, timeout=60,
                          env=dict(os.environ, SDL_VIDEODRIVER="dummy"))


def win(g):
    """The crosshair is on the top cube, and through it once uncovered, on the bottom one."""
    g.xdo("click", "3")
    if not wait_until(lambda: cleared(g.shot()), 5):
        for button in "313":
            g.xdo("click", button)
            time.sleep(0.3)
    assert wait_until(lambda: cleared(g.shot()), 20)


def test_a_won_game_watched_again_ends_as_it_was_played_and_its_time_is_listed(game):
    played = game(TWO_CUBES)
    assert played.window()
    win(played)
    assert saved(played)
    end_of_play = played.shot()
    played.xdo("key", "Escape")
    assert played.process.wait(60) == 0
    [name] = os.listdir(played.path("Replays"))
    assert re.fullmatch(r"\d\d-\d\d-\d\d \d\d\.\d\d\.\d\d \(\.\._\.\._x_y\)\.cubomb", name)
    assert played.lines()[-1] == "Saving replay: Replays/" + name
    lines = open(played.path("Replays/" + name)).read().split("\n")
    assert lines[:3] + lines[4:6] + lines[8:] == ["# Cubomb replay file.", "# Player: ../../x:y", "# Finished map? yes",
                                                  "BEGIN_SECTION MAP_DATA", "#syntax: x y z mine? time_finished", "END_SECTION", ""]
    total = float(re.fullmatch(r"# Total time: (\S+) seconds", lines[3])[1])
    stamps = [float(re.fullmatch(r"0 0 %d [01] (\S+)" % z, lines[6 + z])[1]) for z in (0, 1)]
    assert max(t for t in stamps if t != 1e7) < total < 1e6, "stamped when resolved (or never), written a frame later"
    watched = game(TWO_CUBES, folder=played.folder, args=["--replay", "Replays/" + name])
    assert watched.window()
    assert count(watched.shot(), green_text, (0, 18, 200, 36)) > 60, "REPLAY ../../x:y x1"
    for _ in range(8):
        watched.xdo("key", "Right")
    assert wait_until(lambda: cleared(watched.shot()), 20)
    end_of_replay = watched.shot()
    below_two_hud_lines = (0, 40) + end_of_play.size
    assert ImageChops.difference(end_of_play.crop(below_two_hud_lines), end_of_replay.crop(below_two_hud_lines)).getbbox() is None
    for _ in range(11):
        watched.xdo("key", "Left")
    watched.xdo("key", "BackSpace")
    assert wait_until(lambda: not cleared(watched.shot()), 20), "Backspace starts it over, at an eighth of the speed"
    watched.xdo("key", "Escape")
    assert watched.process.wait(60) == 0

    with open(os.path.join(played.folder, "Replays/broken.cubomb"), "w") as f:
        f.write("# Cubomb replay file.\n# Player: x\n")
    with open(played.path("Replays/" + name[:-7] + " (99999999999).cubomb"), "w") as f:  # a terminal escape as its name
        f.write("\n".join(lines).replace("# Player: ../../x:y", "# Player: \x1b[2J \x7f"))
    scores = run(played.folder, "--scores")
    assert scores.returncode == 0
    assert scores.stderr == "Skipping Replays/broken.cubomb: line 3: the file ends in its header\n"
    heading, row, copy = scores.stdout.splitlines()
    assert heading == "1x1x2, 1 mines"
    assert row.split()[:4] == ["1.", "%.1fs" % total, "../../x:y", "20%s-%s-%s" % (name[6:8], name[0:2], name[3:5])]
    assert copy.split()[:5] == ["2.", row.split()[1], "?[2J", "?", row.split()[3]], "control characters, and only they, print as ?"


def test_a_new_game_asked_for_in_the_frame_after_a_win_keeps_the_won_game_replay(game):
    """A box without mines is won in the frame that lays it out, and a big one takes long enough to lay out that
    an N pressed just after another lands in the very next frame, before that game's replay was due."""
    g = game("dimensions 100 100 100\ndensity 0\n")
    assert g.window() and saved(g)
    g.xdo("key", "n", "sleep", "0.05", "key", "n")
    replays = lambda: sum(line.startswith("Saving replay: ") for line in g.lines())
    assert wait_until(lambda: replays() == 3, 120), "the first game, and both that N started"
    assert len(os.listdir(g.path("Replays"))) == 3


@pytest.mark.parametrize("args,status,out,err", [
    (["--version"], 0, "Cubomb 1.1\n", ""),
    (["--help"], 0, "usage", ""),
    (["--bogus"], 2, "", "usage"),
    (["--replay"], 2, "", "usage"),
    (["--scores", "x"], 2, "", "usage"),
    (["--scores"], 0, "No replays yet in Replays/\n", ""),
    (["--replay", "missing.cubomb"], 1, "", "Error: cannot find replay: missing.cubomb\n"),
    (["--replay", "Textures"], 1, "", "Error: cannot find replay: Textures\n"),
    (["--replay", "game_parameters.txt"], 1, "",
     'Error: not a replay file: game_parameters.txt: line 1: expected "# Cubomb replay file."\n'),
])
def test_the_command_line(args, status, out, err, tmp_path):
    (tmp_path / "Textures").mkdir()
    (tmp_path / "game_parameters.txt").write_text("dimensions 2 2 2\n")
    result = run(tmp_path, *args)
    assert result.returncode == status
    usage = lambda text: text.startswith("Usage: cubomb [--replay FILE | --scores | --help | --version]\n")
    for stream, expected in ((result.stdout, out), (result.stderr, err)):
        assert usage(stream) if expected == "usage" else stream == expected
    assert sorted(os.listdir(tmp_path)) == ["Textures", "game_parameters.txt"], "nothing else happens"
