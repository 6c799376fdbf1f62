# The orbit view with the real program: the pointer picks what lies under it, a drag turns the box and
# acts on nothing, the wheel zooms, and V switches cameras and remembers the choice.
import time
from PIL import ImageChops
from conftest import count, wait_until
from test_play import ONE_MINE, below_hud, cleared, red

ORBIT = "camera orbit\n"


def grey(shot):
    return count(below_hud(shot), lambda r, g, b: r > 60 and abs(r - g) < 20 and abs(r - b) < 30)


def crosshair(shot):
    return count(shot, lambda r, g, b: r > 200 and g < 40 and b < 40, (390, 290, 410, 310))


def still(g):
    """The picture once two shots in a row agree below the HUD."""
    previous = below_hud(g.shot())
    for _ in range(20):
        time.sleep(0.2)
        shot = below_hud(g.shot())
        if ImageChops.difference(previous, shot).getbbox() is None:
            return shot
        previous = shot
    raise AssertionError("the picture never settles")


def test_a_right_click_at_the_centre_flags_the_one_cube_and_far_from_it_does_nothing(game):
    g = game(ONE_MINE + ORBIT)
    assert g.window()
    start = g.shot()
    assert grey(start) > 20000 and crosshair(start) == 0, "the whole box in view, and no crosshair"
    g.xdo("mousemove", "20", "560", "click", "3", "click", "1")
    time.sleep(1)
    assert not cleared(g.shot()) and red(g.shot()) < 200, "off the box a click meets nothing"
    g.xdo("mousemove", "400", "300", "click", "3")
    assert wait_until(lambda: cleared(g.shot()), 20)


def test_a_right_drag_turns_the_box_and_flags_nothing_and_the_wheel_brings_it_closer(game):
    g = game(ONE_MINE + ORBIT)
    assert g.window()
    before = still(g)
    g.xdo("mousemove", "300", "300", "mousedown", "3", "mousemove", "350", "300", "mousemove", "450", "330",
          "mousemove", "500", "340", "mouseup", "3")
    turned = still(g)
    assert ImageChops.difference(before, turned).getbbox() is not None, "the view turned"
    assert not cleared(g.shot()), "the drag flagged nothing"
    for _ in range(4):
        g.xdo("click", "4")
    assert wait_until(lambda: grey(g.shot()) > grey(turned) * 1.5), "larger on the screen"


def test_v_switches_to_fly_and_back_and_the_file_says_so(game):
    g = game("dimensions 4 4 4\n" + ORBIT)
    assert g.window() and crosshair(g.shot()) == 0
    orbiting = still(g)
    g.xdo("key", "v")
    assert wait_until(lambda: crosshair(g.shot()) > 10), "the crosshair of the fly camera"
    changed = ImageChops.difference(orbiting, still(g)).getbbox()
    left, top, right, bottom = changed or (400, 270, 400, 270)
    assert left >= 388 and top >= 258 and right <= 412 and bottom <= 282, "the view does not move: only the crosshair comes"
    assert wait_until(lambda: "camera fly\n" in open(g.path("game_parameters.txt")).read())
    g.xdo("key", "v")
    assert wait_until(lambda: crosshair(g.shot()) == 0)
    assert wait_until(lambda: "camera orbit\n" in open(g.path("game_parameters.txt")).read())
