# Watching a won game again, and a won game's replay kept when N follows at once.
import os, re, time
from PIL import ImageChops
from conftest import count, green_text, wait_until
from test_play import cleared, saved

TWO_CUBES = "dimensions 1 1 2\nnum_mines 1\nhighlight_target 0\nplayer_name ../../x:y\n"


def win(g):
    """The crosshair is on the top cube, and through it once uncovered, on the bottom one."""
    g.xdo("click", "3")
    if not wait_until(lambda: cleared(g.shot()), 5):
        for button in "313":
            g.xdo("click", button)
            time.sleep(0.3)
    assert wait_until(lambda: cleared(g.shot()), 20)
    g.xdo("key", "bracketleft")  # the result panel away


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


def test_a_new_game_asked_for_in_the_frame_after_a_win_keeps_the_won_game_replay(game):
    """A box without mines is won in the frame that lays it out, and a big one takes long enough to lay out that
    an N pressed just after another lands in the very next frame, before that game's replay was due."""
    g = game("dimensions 100 100 100\ndensity 0\n")
    assert g.window() and saved(g)
    written = lambda: [n for n in os.listdir(g.path("Replays")) if n.endswith(".cubomb")]
    assert wait_until(written, 120), "a replay's name is taken once it is whole: the first game's, done with"
    g.xdo("key", "n", "sleep", "0.05", "key", "n")
    replays = lambda: sum(line.startswith("Saving replay: ") for line in g.lines())
    assert wait_until(lambda: replays() == 3, 120), "the first game, and both that N started"
    assert len(os.listdir(g.path("Replays"))) == 3
