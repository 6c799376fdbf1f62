# Whole games with the real program: start-up, HUD, help, screenshots, winning, losing, replays, quitting.
import math, os, time
import pytest
from PIL import Image, ImageChops, ImageStat
from Xlib import X, display as xlib, protocol
from conftest import DATA, count, green_text, wait_until

ONE_MINE = "dimensions 1 1 1\nnum_mines 1\n"
TEXTURES = ["Loading texture: Textures/%s.png to id=%d" % (name, i)
            for i, name in ((2, "grey_block"), (3, "flagged_block"), (4, "mine_block"))]


def top_text(shot, left, right, least):
    w, h = shot.size
    return count(shot, green_text, (int(w * left), 0, int(w * right), h * 3 // 100 + 2)) > least


def hud(shot):
    return top_text(shot, 0, 0.1, 20) and top_text(shot, 0.83, 1, 40)


def cleared(shot):
    return top_text(shot, 0.35, 0.63, 60)


def red(shot):
    return count(shot, lambda r, g, b: r > 150 and g < 90 and b < 90)


def floor(shot):
    return count(shot, lambda r, g, b: g > 200 and r < 60 and b < 60)


def below_hud(shot):
    return shot.crop((0, 30) + shot.size)


def screen_area(corners, eye, look, size=(800, 600)):
    """The pixels a flat polygon covers, seen as the game's camera sees it: 60 degrees high."""
    dot = lambda a, b: sum(x * y for x, y in zip(a, b))
    cross = lambda a, b: (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
    ahead = [x / dot(look, look) ** 0.5 for x in look]
    right = cross(ahead, (0, 0, 1))
    right = [x / dot(right, right) ** 0.5 for x in right]
    up, scale = cross(right, ahead), size[1] / 2 / math.tan(math.radians(30))
    seen = [[c - e for c, e in zip(corner, eye)] for corner in corners]
    points = [(dot(d, right) * scale / dot(d, ahead), dot(d, up) * scale / dot(d, ahead)) for d in seen]
    return abs(sum(points[i][0] * points[i - 1][1] - points[i - 1][0] * points[i][1] for i in range(len(points)))) / 2


def saved(g):
    return wait_until(lambda: any(l.startswith("Saving replay: ") for l in g.lines()))


def test_starts_full_screen_with_its_textures_flies_and_quits_on_escape(game):
    g = game()
    assert g.window()
    start = g.shot()
    assert start.size == (800, 600) and hud(start)
    assert g.lines() == ["Initializing texture states..."] + TEXTURES
    assert ImageStat.Stat(ImageChops.difference(start, g.shot())).mean[0] < 1, "nothing moves by itself"
    for _ in range(8):  # faster, but not so fast that it flies out of the box's far side
        g.xdo("key", "2")
    g.xdo("keydown", "w", "sleep", "0.6", "keyup", "w")
    grey = lambda r, g, b: r > 60 and abs(r - b) < 30
    assert count(below_hud(g.shot()), grey) > count(below_hud(start), grey), "closer, the box looks bigger"
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0


@pytest.mark.parametrize("size", [(800, 600), (1366, 768)])
def test_tab_shows_the_help_picture_upright_at_any_width_without_the_crosshair(game, size):
    g = game(size=size)
    assert g.window()
    g.xdo("keydown", "Tab")
    shot = g.shot()
    g.xdo("keyup", "Tab")
    w, h = size
    picture = Image.open(os.path.join(DATA, "HelpScreen.jpg")).convert("RGB").resize(size)
    box = (0, 0, w, h * 9 // 10)
    assert sum(ImageStat.Stat(ImageChops.difference(shot.crop(box), picture.crop(box))).mean) / 3 < 12
    assert count(shot, green_text, (0, h - 18, 300, h)) > 50, "the credit line"
    assert count(shot, lambda r, g, b: r > 200 and g < 40, (w // 2 - 10, h // 2 - 10, w // 2 + 10, h // 2 + 10)) == 0
    assert not hud(shot)
    before = sorted(os.listdir(g.folder))
    assert wait_until(lambda: hud(g.shot()), 20), "Tab released: the field again"
    assert sorted(os.listdir(g.folder)) == before, "one screenshot.bmp, replaced"


def test_a_window_of_the_asked_size_wins_without_a_replay_and_closes_on_request(game):
    g = game(ONE_MINE + "screen_width 640\nscreen_height 480\nfullscreen 0\nsave_replays 0\n")
    assert g.window() and g.shot().size == (640, 480)
    g.xdo("click", "3")
    assert wait_until(lambda: cleared(g.shot()), 20)
    assert not any(l.startswith("Saving replay") for l in g.lines()) and not os.path.exists(g.path("Replays"))
    x = xlib.Display(g.display)
    window = next(w for w in x.screen().root.query_tree().children if w.get_wm_name() == "Cubomb")
    protocols, close = x.intern_atom("WM_PROTOCOLS"), x.intern_atom("WM_DELETE_WINDOW")
    window.send_event(protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [close, X.CurrentTime, 0, 0, 0])))
    x.flush()
    assert g.process.wait(60) == 0


@pytest.mark.parametrize("fullscreen", [1, 0])
def test_a_screen_size_of_0_is_the_desktops(game, fullscreen):
    g = game("screen_width 0\nscreen_height 0\nfullscreen %d\n" % fullscreen, size=(1024, 768))
    assert g.window()
    shot = g.shot()
    grey = lambda r, g, b: r > 60 and abs(r - g) < 20 and abs(r - b) < 30
    assert shot.size == (1024, 768) and count(below_hud(shot), grey) > 10000, "the field, in its true proportions"


def test_the_cube_a_click_would_act_on_is_outlined_and_a_right_click_flags_it(game):
    box = "dimensions 3 3 3\nnum_mines 2\n"  # one flag on the only mine would end the game
    on, off = game(box), game(box + "highlight_target 0\n")
    assert on.window() and off.window()
    dark = lambda shot: below_hud(shot).convert("L").point(lambda v: 255 if v < 40 else 0)
    lit = on.shot()
    outline = ImageChops.subtract(dark(lit), dark(off.shot()))
    assert outline.histogram()[255] > 300
    left, top, right, bottom = outline.getbbox()
    on.xdo("click", "3")
    changed = lambda: ImageChops.difference(below_hud(lit), below_hud(on.shot())).convert("L").point(lambda v: 255 if v > 40 else 0)
    assert wait_until(lambda: changed().histogram()[255] > 500), "the flag shows"
    x0, y0, x1, y1 = changed().getbbox()
    assert left - 3 <= x0 and top - 3 <= y0 and x1 <= right + 3 and y1 <= bottom + 3, "on the outlined cube alone"


def test_a_loss_shows_the_mines_says_so_stops_the_clock_and_ignores_clicks_until_n(game):
    on, off = game(ONE_MINE), game(ONE_MINE + "highlight_target 0\n")
    for g in (on, off):
        assert g.window() and red(g.shot()) < 200
        g.xdo("click", "1")
        assert wait_until(lambda: red(g.shot()) > 5000, 20), "the mine shows at the crosshair"
        g.xdo("key", "bracketleft")  # no layer to bring back: it only puts the result panel away
    first = on.shot()
    on.xdo("click", "3")
    on.xdo("click", "1")
    time.sleep(1.2)
    second = on.shot()
    assert ImageChops.difference(first, second).getbbox() is None, "clicks and the clock change nothing"
    assert count(second, green_text, (510, 0, 552, 18)) > 10, "BOOM! N: new game"
    assert ImageChops.difference(below_hud(second), below_hud(off.shot())).getbbox() is None, "no outline"
    assert not os.path.exists(on.path("Replays"))
    on.xdo("key", "n")
    assert wait_until(lambda: red(on.shot()) < 200, 20), "N: a new game, its cubes covered"


def test_a_box_without_mines_is_won_at_once_and_a_flood_opens_it_onto_the_green_floor(game):
    g = game("dimensions 3 3 1\ndensity 0\n")
    assert g.window() and saved(g)
    g.xdo("key", "bracketleft")
    shot = g.shot()
    assert cleared(shot) and floor(shot) < 100, "the cubes cover the floor"
    g.xdo("click", "1")
    assert wait_until(lambda: floor(g.shot()) > 5000, 20)
    expected = screen_area([(0, 0, 0), (3, 0, 0), (3, 3, 0), (0, 3, 0)], (-1, -1, 2), (0.5, 0.5, -0.7071068))
    assert abs(floor(g.shot()) - expected) < expected / 100, "the floor lies under the box"
