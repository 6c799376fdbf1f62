# A game in progress survives a quit and a kill, and two windows in one folder lose no game.
import os, re, signal, time
from PIL import ImageChops
from conftest import count, green_text, wait_until
from test_menu import stats
from test_play import ONE_MINE, red

GAME = "dimensions 6 6 6\nnum_mines 3\nsafe_first_click 1\ncamera fly\n"
SECOND_LINE = (0, 18, 800, 36)


def field(shot):
    return shot.crop((0, 40) + shot.size)


def clock(g):
    return float(re.search(r"^clock (\S+)$", open(g.path("saved_game.txt")).read(), re.M)[1])


def test_a_game_quit_midway_resumes_where_it_was_and_counts_once_when_left(game):
    first = game(GAME)
    assert first.window()
    untouched = field(first.shot())
    first.xdo("click", "1")
    assert wait_until(lambda: ImageChops.difference(untouched, field(first.shot())).getbbox()), "the click uncovers"
    first.xdo("key", "bracketright")
    time.sleep(0.5)
    before = first.shot()
    first.xdo("key", "Escape")
    assert first.process.wait(60) == 0
    saved_at = clock(first)
    assert stats(first.folder) == {}, "a quit that saves does not count"
    started = time.monotonic()
    again = game(None, folder=first.folder)
    assert again.window()
    assert ImageChops.difference(field(before), field(again.shot())).getbbox() is None, "the field, its cut and the camera"
    words = lambda shot: count(shot, green_text, SECOND_LINE)
    assert words(again.shot()) > words(before) + 50, "RESUMED after the cut"
    again.xdo("key", "Return")  # a pause saves, with the clock run on from the save
    assert wait_until(lambda: clock(again) > saved_at)
    assert clock(again) < saved_at + time.monotonic() - started, "on from where it stood"
    again.xdo("key", "Return", "key", "n")
    assert wait_until(lambda: not os.path.exists(again.path("saved_game.txt"))), "left: the save goes"
    assert wait_until(lambda: stats(first.folder) == {(6, 6, 6, 3): 1}), "and it counts, once"


def test_a_kill_loses_at_most_the_last_ten_seconds_and_a_bad_save_is_kept_aside(game):
    g = game(GAME)
    assert g.window()
    g.xdo("click", "1")
    assert wait_until(lambda: os.path.exists(g.path("saved_game.txt")), 20), "saved within ten seconds of play"
    g.process.send_signal(signal.SIGKILL)
    g.process.wait(60)
    resumed = game(None, folder=g.folder)
    assert resumed.window()
    assert wait_until(lambda: count(resumed.shot(), green_text, SECOND_LINE) > 50), "RESUMED"
    resumed.process.send_signal(signal.SIGKILL)
    resumed.process.wait(60)
    with open(g.path("saved_game.txt"), "a") as f:
        f.write("not a saved game\n")
    fresh = game(None, folder=g.folder)
    assert fresh.window() and count(fresh.shot(), green_text, SECOND_LINE) == 0, "a new game"
    assert any("saved_game.txt: line" in l and "kept as saved_game.txt.bad, a new game starts" in l for l in fresh.lines(1))
    assert os.path.exists(g.path("saved_game.txt.bad"))


def test_a_second_window_saves_nothing_and_both_windows_games_are_counted(game):
    first = game(ONE_MINE)
    assert first.window()
    second = game(None, folder=first.folder)
    assert second.window()
    assert wait_until(lambda: count(second.shot(), green_text, SECOND_LINE) > 100), "NOT SAVED: ANOTHER WINDOW"
    warnings = [l for l in second.lines(1) if "another window" in l]
    assert len(warnings) == 1 and not any("another window" in l for l in first.lines(1))
    for g in (first, second):
        g.xdo("click", "1")
        assert wait_until(lambda: red(g.shot()) > 5000), "lost"
    assert wait_until(lambda: stats(first.folder) == {(1, 1, 1, 1): 2})
