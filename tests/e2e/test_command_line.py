# The command line without a window: analysing a replay, the best-times
# table, and the usage and errors of every option.
import itertools, os, random, subprocess
import pytest
from conftest import EXE


def run(folder, *args):
    return subprocess.run([EXE, *args], cwd=folder, capture_output=True, text=True, timeout=60,
                          env=dict(os.environ, SDL_VIDEODRIVER="dummy"))

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
    openings, left = 0, set(zero)
    while left:
        openings, todo = openings + 1, [left.pop()]
        while todo:
            joined = {q for q in near(todo.pop(), size) if q in left}
            left, todo = left - joined, todo + list(joined)
    return openings + sum(1 for c in cubes - mines - zero if not any(q in zero for q in near(c, size)))


def test_analyse_tells_the_box_the_time_the_3bv_the_first_click_and_whether_it_needed_a_guess(tmp_path):
    # Three in a row, the mine at one end: the middle cube's count leaves both ends open to it.
    (tmp_path / "row.cubomb").write_text(replay_text((1, 1, 3), {(0, 0, 0)}, {(0, 0, 1): 1.5, (0, 0, 2): 2, (0, 0, 0): 3}, 3.3))
    assert run(tmp_path, "--analyse", "row.cubomb").stdout.splitlines() == [
        "Box: 1x1x3, 1 mines", "Finished: yes", "Time: 3.3 s", "3BV: 1", "3BV/s: 0.30", "First click: 0 0 1", "Guess needed: yes"]
    # Five in a row, the mine in the middle: the first click opens two, a count names the mine, and only the
    # number of mines clears the far two. Nothing uncovered, nor finished: no first click.
    (tmp_path / "total.cubomb").write_text(replay_text((1, 1, 5), {(0, 0, 2)}, {(0, 0, 0): 0.5, (0, 0, 1): 0.5,
                                                                               (0, 0, 3): 2, (0, 0, 4): 3}, 3.5))
    (tmp_path / "none.cubomb").write_text(replay_text((2, 1, 1), set(), {}, 0, "no"))
    assert run(tmp_path, "--analyse", "total.cubomb").stdout.splitlines()[5:] == ["First click: 0 0 0", "Guess needed: no"]
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


def test_scores_rank_finished_games_by_time_with_their_3bv_rate_and_date(tmp_path):
    replays = tmp_path / "Replays"
    replays.mkdir()
    won = replay_text((1, 1, 2), {(0, 0, 0)}, {(0, 0, 1): 0.5}, 2.5)
    (replays / "12-05-26 14.51.07 (joe).cubomb").write_text(won)
    (replays / "12-05-26 14.51.07 (joe) (99999999999).cubomb").write_text(won.replace("ann", "\x1b[2J \x7f"))
    (replays / "01-02-27 03.04.05 (joe).cubomb").write_text(won.replace("Total time: 2.5", "Total time: 4"))
    (replays / "01-02-27 03.04.06 (joe).cubomb").write_text(won.replace("yes", "no"))
    (replays / "broken.cubomb").write_text("# Cubomb replay file.\n# Player: x\n")
    scores = run(tmp_path, "--scores")
    assert scores.returncode == 0
    assert scores.stderr == "Skipping Replays/broken.cubomb: line 3: the file ends in its header\n"
    heading, *rows = scores.stdout.splitlines()
    assert heading == "1x1x2, 1 mines" and len(rows) == 3, "unfinished games are not ranked"
    assert [row.split() for row in rows] == [
        ["1.", "2.5s", "0.40", "3BV/s", "ann", "2026-12-05", "14:51:07"],
        ["2.", "2.5s", "0.40", "3BV/s", "?[2J", "?", "2026-12-05", "14:51:07"],
        ["3.", "4.0s", "0.25", "3BV/s", "ann", "2027-01-02", "03:04:05"]], "control characters, and only they, print as ?"


@pytest.mark.parametrize("args,status,out,err", [
    (["--version"], 0, "Cubomb 1.2\n", ""),
    (["--help"], 0, "usage", ""),
    (["--bogus"], 2, "", "usage"),
    (["--replay"], 2, "", "usage"),
    (["--analyse"], 2, "", "usage"),
    (["--analyse", "missing.cubomb"], 1, "", "Error: cannot find replay: missing.cubomb\n"),
    (["--analyse", "game_parameters.txt"], 1, "",
     'Error: not a replay file: game_parameters.txt: line 1: expected "# Cubomb replay file."\n'),
    (["--scores", "x"], 2, "", "usage"),
    (["--box", "3x3x3", "--scores"], 2, "", "usage"),
    (["--box", "3x3x3", "--box", "3x3x3"], 2, "", "usage"),
    (["--mines"], 2, "", "usage"),
    (["--box", "0x5x5"], 2, "", "cubomb: --box 0x5x5: a side of 0\n"),
    (["--box", "5x5"], 2, "", "cubomb: --box 5x5: not XxYxZ, three whole numbers\n"),
    (["--mines", "3", "--box", "5x05x5"], 2, "", "cubomb: --box 5x05x5: not XxYxZ, three whole numbers\n"),
    (["--box", "257x256x256"], 2, "", "cubomb: --box 257x256x256: more than 16777216 cubes\n"),
    (["--box", "99999999x99999999x99999999"], 2, "", "cubomb: --box 99999999x99999999x99999999: more than 16777216 cubes\n"),
    (["--mines", "0"], 2, "", "cubomb: --mines 0: no mine\n"),
    (["--mines", "-1"], 2, "", "cubomb: --mines -1: not a whole number\n"),
    (["--mines", "8"], 2, "", "cubomb: --mines 8: more mines than cubes less one\n"),
    (["--box", "3x3x1", "--mines", "9"], 2, "", "cubomb: --mines 9: more mines than cubes less one\n"),
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
    usage = lambda text: text.startswith("Usage: cubomb [--box XxYxZ] [--mines N]\n")
    for stream, expected in ((result.stdout, out), (result.stderr, err)):
        assert usage(stream) if expected == "usage" else stream == expected
    assert sorted(os.listdir(tmp_path)) == ["Textures", "game_parameters.txt"], "nothing else happens"
