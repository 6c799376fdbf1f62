# The menu, the result panel, R, T and the statistics, in the real window.
import os, re, subprocess, time
from PIL import ImageChops
from conftest import EXE, count, green_text, wait_until
from test_play import ONE_MINE, below_hud, red, saved

SECOND_LINE = (0, 18, 800, 36)
grey = lambda r, g, b: r > 60 and abs(r - g) < 20 and abs(r - b) < 30
field_shows = lambda shot: count(below_hud(shot), grey) > 1000


def stats(folder):
    """The stats file as {(x, y, z, mines): played}."""
    path = os.path.join(folder, "stats.txt")
    lines = open(path).read().splitlines() if os.path.exists(path) else []
    return {tuple(map(int, l.split()[:4])): int(l.split()[4]) for l in lines if l and not l.startswith("#")}


def open_menu(g):
    """Opens the menu and waits for it: keys in the frame that opens it act on nothing, and a loaded machine may fit several in one."""
    g.xdo("key", "m")
    assert wait_until(lambda: not field_shows(g.shot())), "the menu hides the field"


def play_one(g):
    """Uncovers the cube at the crosshair and leaves the game for a new one: it counts as played."""
    assert g.window() and field_shows(g.shot())
    g.xdo("click", "1")
    time.sleep(0.3)
    g.xdo("key", "n")
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0


def test_the_menu_starts_a_small_box_remembers_it_and_the_command_line_plays_another_for_one_run(game):
    first = game("dimensions 10 10 10\nnum_mines 40\n# mine\nunknown key\n")
    before = open(first.path("game_parameters.txt")).read()
    assert first.window()
    open_menu(first)
    first.xdo("key", "Left", "key", "Return")
    assert wait_until(lambda: field_shows(first.shot())), "a new game"
    after = open(first.path("game_parameters.txt")).read()
    assert after == before.replace("10 10 10", "6 6 6").replace("40", "10") + "no_guess 0\nsafe_first_click 0\ncamera fly\nsound_volume 60\n"
    play_one(first)
    play_one(game(None, folder=first.folder, args=["--box", "2x2x2", "--mines", "1"]))
    assert open(first.path("game_parameters.txt")).read() == after, "the command line writes nothing"
    play_one(game(None, folder=first.folder))
    assert stats(first.folder) == {(6, 6, 6, 10): 2, (2, 2, 2, 1): 1}


def test_the_clock_stands_while_the_menu_is_open_and_its_pointer_turns_nothing(game):
    started = time.monotonic()
    g = game(ONE_MINE)
    assert g.window()
    field = below_hud(g.shot())
    g.xdo("key", "m")
    opened = time.monotonic()
    for _ in range(5):
        g.xdo("mousemove_relative", "--", "120", "-70")
        time.sleep(0.5)
    g.xdo("key", "m")
    menu = time.monotonic() - opened
    assert wait_until(lambda: ImageChops.difference(field, below_hud(g.shot())).getbbox() is None), "the view as it was"
    g.xdo("click", "3")
    assert saved(g)
    [name] = os.listdir(g.path("Replays"))
    total = float(re.search(r"# Total time: (\S+) seconds", open(g.path("Replays/" + name)).read())[1])
    assert total < time.monotonic() - started - menu + 0.5, "no menu time is in the game's time"


def test_an_unplayable_box_is_refused_and_writes_nothing_and_the_pointer_picks_values(game):
    g = game("dimensions 10 10 10\nnum_mines 40\n")
    before = open(g.path("game_parameters.txt")).read()
    assert g.window()
    open_menu(g)
    g.xdo("key", "Down", "key", "0", "key", "Return")
    reddish = lambda r, g, b: r > 100 and r > g + 20
    assert wait_until(lambda: count(g.shot(), reddish, (40, 409, 560, 434)) > 100), "CANNOT START: A SIDE OF 0"
    assert open(g.path("game_parameters.txt")).read() == before and not field_shows(g.shot())
    g.xdo("mousemove", "680", "110", "click", "1")  # the right half of X's value: 0 becomes 1
    g.xdo("mousemove", "100", "302", "click", "1")  # START
    assert wait_until(lambda: field_shows(g.shot()))
    assert "dimensions 1 10 10\n" in open(g.path("game_parameters.txt")).read()


def test_settings_that_cannot_be_written_are_said_so_and_the_game_starts_all_the_same(game):
    comments = "#" * 2000000 + "\n"  # more than the file size limit, where a screenshot is less
    g = game(comments + "dimensions 10 10 10\nnum_mines 40\n", launcher=["prlimit", "--fsize=1500000", "--"])
    before = open(g.path("game_parameters.txt")).read()
    assert g.window()
    open_menu(g)
    g.xdo("key", "Right", "key", "Return")
    assert wait_until(lambda: "Warning: settings not saved: game_parameters.txt: File too large" in g.lines(1))
    assert wait_until(lambda: count(g.shot(), green_text, SECOND_LINE) > 100), "SETTINGS NOT SAVED"
    assert open(g.path("game_parameters.txt")).read() == before
    g.xdo("key", "n")
    assert wait_until(lambda: count(g.shot(), green_text, SECOND_LINE) == 0), "until the next game"


def test_a_win_shows_its_panel_r_watches_it_and_a_win_and_two_losses_make_the_statistics(game):
    g = game(ONE_MINE)
    assert g.window()
    panel = (200, 230, 600, 370)
    assert count(g.shot(), green_text, panel) < 50
    g.xdo("click", "3")
    assert saved(g) and wait_until(lambda: count(g.shot(), green_text, panel) > 1500), "the panel, with its lines"
    g.xdo("key", "r")
    assert wait_until(lambda: count(g.shot(), green_text, (0, 18, 300, 36)) > 100), "REPLAY default_player x1"
    for _ in range(2):
        g.xdo("key", "n")
        assert wait_until(lambda: red(g.shot()) < 200)
        g.xdo("click", "1")
        assert wait_until(lambda: red(g.shot()) > 5000), "lost"
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0
    [name] = os.listdir(g.path("Replays"))
    total = float(re.search(r"# Total time: (\S+) seconds", open(g.path("Replays/" + name)).read())[1])
    printed = subprocess.run([EXE, "--stats"], cwd=g.folder, capture_output=True, text=True, timeout=60,
                             env=dict(os.environ, SDL_VIDEODRIVER="dummy"))
    heading, line = printed.stdout.splitlines()
    best = float(re.fullmatch(r"  played 3, won 1 \(33 %\), streak 0, best streak 1, best time (\d+\.\d) s", line)[1])
    assert heading == "1x1x1, 1 mines" and abs(best - total) < 0.15 and printed.returncode == 0


def test_t_tries_a_lost_board_again_and_the_same_clicks_lose_it_in_the_same_picture(game):
    g = game("dimensions 3 3 3\nnum_mines 26\n")  # the crosshair meets a mine within two clicks
    assert g.window()
    # Markers of 3 are as red as mines, and markers of 2 as green as text: the lost game's panel, which shades
    # the field under it, says the game is lost with "N: NEW GAME" where no other line reaches.

    def lose():
        for clicks in range(1, 30):
            g.xdo("click", "1")
            time.sleep(0.2)
            if count(g.shot(), green_text, (60, 318, 180, 342)) > 100:
                g.xdo("key", "bracketleft")  # the panel away
                time.sleep(0.3)
                return clicks, below_hud(g.shot())
        raise AssertionError("never lost")

    clicks, picture = lose()
    g.xdo("key", "t")
    assert wait_until(lambda: red(g.shot()) < 200), "the board covered again"
    again, picture_again = lose()
    assert again == clicks and ImageChops.difference(picture, picture_again).getbbox() is None
