# Watching a won game again, the best-times table, and the command line.
import itertools, os, random, re, subprocess, time
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
    assert row.split()[:6] == ["1.", "%.1fs" % total, "%.2f" % (1 / total), "3BV/s", "../../x:y",
                               "20%s-%s-%s" % (name[6:8], name[0:2], name[3:5])], "a safe cube beside the mine: a 3BV of 1"
    assert copy.split()[:7] == ["2.", *row.split()[1:3], "3BV/s", "?[2J", "?", row.split()[5]], "control characters, and only they, print as ?"


def test_a_new_game_asked_for_in_the_frame_after_a_win_keeps_the_won_game_replay(game):
    """A box without mines is won in the frame that lays it out, and a big one takes long enough to lay out that
    an N pressed just after another lands in the very next frame, before that game's replay was due."""
    g = game("dimensions 100 100 100\ndensity 0\n")
    assert g.window() and saved(g)
    g.xdo("key", "n", "sleep", "0.05", "key", "n")
    replays = lambda: sum(line.startswith("Saving replay: ") for line in g.lines())
    assert wait_until(lambda: replays() == 3, 120), "the first game, and both that N started"
    assert len(os.listdir(g.path("Replays"))) == 3


def replay_text(size, mines, times, total, finished="yes"):
    cubes = list(itertools.product(*map(range, size)))
    lines = ["# Cubomb replay file.", "# Player: ann", "# Finished map? " + finished, "# Total time: %g seconds" % total,
             "BEGIN_SECTION MAP_DATA", "#syntax: x y z mine? time_finished"]
    lines += ["%d %d %d %d %g" % (*c, c in mines, times.get(c, 1e7)) for c in cubes]
    return "\n".join(lines + ["END_SECTION", ""])


def near(cube, size):
    return [q for q in itertools.product(*[(v - 1, v, v + 1) for v in cube]) if q != cube and all(0 <= v < s for v, s in zip(q, size))]


def three_bv(size, mines):
    """Oracle: openings of zeros joined through their 26 neighbours, plus counted cubes touching no zero."""
    cubes = set(itertools.product(*map(range, size)))
    zero = {c for c in cubes - mines if not any(q in mines for q in near(c, size))}
    openings, seen = 0, set()
    for c in zero - seen:
        if c in seen:
            continue
        openings, todo = openings + 1, [c]
        while todo:
            q = todo.pop()
            if q not in seen:
                seen.add(q)
                todo += [r for r in near(q, size) if r in zero]
    return openings + sum(1 for c in cubes - mines - zero if not any(q in zero for q in near(c, size)))


def test_analyse_tells_the_box_the_time_the_3bv_the_first_click_and_whether_it_needed_a_guess(tmp_path):
    # Three in a row, the mine at one end: the middle cube's count leaves both ends open to it.
    (tmp_path / "row.cubomb").write_text(replay_text((1, 1, 3), {(0, 0, 0)}, {(0, 0, 1): 1.5, (0, 0, 2): 2, (0, 0, 0): 3}, 3.3))
    assert run(tmp_path, "--analyse", "row.cubomb").stdout.splitlines() == [
        "Box: 1x1x3, 1 mines", "Finished: yes", "Time: 3.3 s", "3BV: 1", "3BV/s: 0.30", "First click: 0 0 1", "Guess needed: yes"]
    # Two cubes: the count and the one mine decide it. Nothing uncovered, nor finished: no first click.
    (tmp_path / "pair.cubomb").write_text(replay_text((1, 1, 2), {(0, 0, 0)}, {(0, 0, 1): 0.5}, 1.25))
    (tmp_path / "none.cubomb").write_text(replay_text((2, 1, 1), set(), {}, 0, "no"))
    assert run(tmp_path, "--analyse", "pair.cubomb").stdout.splitlines()[5:] == ["First click: 0 0 1", "Guess needed: no"]
    assert run(tmp_path, "--analyse", "none.cubomb").stdout.splitlines()[1:] == [
        "Finished: no", "Time: 0.0 s", "3BV: 1", "3BV/s: -", "First click: -", "Guess needed: -"]
    # A 10-cube box whose safe cubes all open at once, as one flood: the first zero in file order opened it.
    rnd, size = random.Random(9), (10, 10, 10)
    cubes = list(itertools.product(*map(range, size)))
    mines = set(rnd.sample(cubes, 39))
    first = min(c for c in cubes if c not in mines and not any(q in mines for q in near(c, size)))
    (tmp_path / "game.cubomb").write_text(replay_text(size, mines, {c: 1 + 8 * (c in mines) for c in cubes}, 12))
    assert run(tmp_path, "--analyse", "game.cubomb").stdout.splitlines()[:6] == [
        "Box: 10x10x10, 39 mines", "Finished: yes", "Time: 12.0 s", "3BV: %d" % three_bv(size, mines),
        "3BV/s: %.2f" % (three_bv(size, mines) / 12), "First click: %d %d %d" % first]


@pytest.mark.parametrize("args,status,out,err", [
    (["--version"], 0, "Cubomb 1.1\n", ""),
    (["--help"], 0, "usage", ""),
    (["--bogus"], 2, "", "usage"),
    (["--replay"], 2, "", "usage"),
    (["--analyse"], 2, "", "usage"),
    (["--analyse", "missing.cubomb"], 1, "", "Error: cannot find replay: missing.cubomb\n"),
    (["--analyse", "game_parameters.txt"], 1, "",
     'Error: not a replay file: game_parameters.txt: line 1: expected "# Cubomb replay file."\n'),
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
    usage = lambda text: text.startswith("Usage: cubomb [--replay FILE | --analyse FILE | --scores | --help | --version]\n")
    for stream, expected in ((result.stdout, out), (result.stderr, err)):
        assert usage(stream) if expected == "usage" else stream == expected
    assert sorted(os.listdir(tmp_path)) == ["Textures", "game_parameters.txt"], "nothing else happens"
