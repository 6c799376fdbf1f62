# The player's tools with the real program: the count readout and the pause.
import os, re, time
from PIL import ImageChops
from conftest import count, green_text, wait_until
from test_play import ONE_MINE, below_hud, saved

SECOND_LINE = (0, 18, 800, 36)
grey = lambda r, g, b: r > 60 and abs(r - g) < 20 and abs(r - b) < 30


def test_the_readout_appears_when_the_crosshair_meets_a_marker_unless_turned_off(game):
    # Mostly mines: the cube under the crosshair, its mine moved away by the first click, shows a count.
    on, off = (game("dimensions 3 3 3\nnum_mines 20\nsafe_first_click 1\ncount_readout %d\n" % flag) for flag in (1, 0))
    for g in (on, off):
        assert g.window() and count(g.shot(), green_text, SECOND_LINE) == 0
        g.xdo("click", "1")
    assert wait_until(lambda: count(on.shot(), green_text, SECOND_LINE) > 200), "COUNT n  FLAGS 0  COVERED c"
    assert count(off.shot(), green_text, SECOND_LINE) == 0


def test_a_cut_peels_the_top_layer_away_and_back_and_a_click_reaches_the_cube_it_bared(game):
    g = game("dimensions 4 4 4\nnum_mines 30\n")
    assert g.window()
    whole = below_hud(g.shot())
    g.xdo("key", "bracketright")
    assert wait_until(lambda: count(g.shot(), green_text, SECOND_LINE) > 80), "CUT -z 1"
    cut = below_hud(g.shot())
    assert ImageChops.difference(whole, cut).getbbox() is not None, "the top layer is gone"
    g.xdo("key", "bracketleft")
    assert wait_until(lambda: count(g.shot(), green_text, SECOND_LINE) == 0)
    assert ImageChops.difference(whole, below_hud(g.shot())).getbbox() is None, "every layer back, as it was"
    g.xdo("key", "bracketright")
    assert wait_until(lambda: ImageChops.difference(cut, below_hud(g.shot())).getbbox() is None)
    g.xdo("click", "3")
    assert wait_until(lambda: ImageChops.difference(cut, below_hud(g.shot())).getbbox() is not None), "a flag"
    left, top, right, bottom = ImageChops.difference(cut, below_hud(g.shot())).getbbox()
    assert left < 400 < right and top < 300 - 30 < bottom, "on the cube under the crosshair, below the cut"


def test_h_hints_for_ten_seconds_of_the_clock_and_return_hides_the_field_and_stops_the_clock_until_return(game):
    started = time.monotonic()
    g = game(ONE_MINE)  # one cube and one mine: the number of mines says where it is
    assert g.window()
    red = lambda shot: count(below_hud(shot), lambda r, g, b: r > 200 and g < 60 and b < 60)
    before = red(g.shot())
    g.xdo("key", "h")
    assert wait_until(lambda: count(g.shot(), green_text, SECOND_LINE) > 150), "HINT 0 0 0 MINE"
    assert red(g.shot()) > before + 500, "a red outline around the mine"
    pausing = time.monotonic()
    g.xdo("key", "Return")
    assert wait_until(lambda: count(below_hud(g.shot()), grey) < 20), "the field is hidden"
    paused = g.shot()
    assert count(paused, green_text, (200, 280, 600, 330)) > 300, "PAUSED: RETURN TO PLAY"
    g.xdo("click", "3")
    time.sleep(3.5)
    assert ImageChops.difference(paused, g.shot()).getbbox() is None, "the clock stands, the click did nothing"
    g.xdo("key", "Return")
    pause = time.monotonic() - pausing
    assert wait_until(lambda: count(below_hud(g.shot()), grey) > 1000), "the field again"
    g.xdo("click", "3")
    assert saved(g)
    assert count(g.shot(), green_text, SECOND_LINE) == 0, "the hint gone with the click"
    [name] = os.listdir(g.path("Replays"))
    total = float(re.search(r"# Total time: (\S+) seconds", open(g.path("Replays/" + name)).read())[1])
    played = time.monotonic() - started
    assert played - pause + 3 < total < played + 10 - 3, "the hint's ten seconds are on the clock, the pause is not"
