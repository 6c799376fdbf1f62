# Whole games with the real program: start-up, HUD, help, screenshots, winning, losing, replays, quitting.
import math, os, re, time
import pytest
from PIL import Image, ImageChops, ImageStat
from Xlib import X, display as xlib, protocol
from conftest import DATA, count, green_text, wait_until

ONE_MINE = "dimensions 1 1 1\nnum_mines 1\n"
START = "Initializing texture states..."
TEXTURES = ["Loading texture: Textures/%s.png to id=%d" % (name, i)
            for i, name in ((2, "grey_block"), (3, "flagged_block"), (4, "mine_block"))]


def hud(shot):
    w, h = shot.size
    return (count(shot, green_text, (0, 0, w // 10, h * 3 // 100 + 2)) > 20 and
            count(shot, green_text, (w * 83 // 100, 0, w, h * 3 // 100 + 2)) > 40)


def cleared(shot):
    return count(shot, green_text, (280, 0, 504, 18)) > 60


def red(shot):
    return count(shot, lambda r, g, b: r > 150 and g < 90 and b < 90)


def floor(shot):
    return count(shot, lambda r, g, b: g > 200 and r < 60 and b < 60)


def screen_area(corners, eye, look, size=(800, 600)):
    """The pixels a flat polygon covers, seen as the game's camera sees it: 60 degrees high."""
    dot = lambda a, b: sum(x * y for x, y in zip(a, b))
    cross = lambda a, b: (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
    unit = lambda a: tuple(x / dot(a, a) ** 0.5 for x in a)
    ahead = unit(look)
    right = unit(cross(ahead, (0, 0, 1)))
    up, scale = cross(right, ahead), size[1] / 2 / math.tan(math.radians(30))
    points = []
    for corner in corners:
        d = [c - e for c, e in zip(corner, eye)]
        points.append((dot(d, right) * scale / dot(d, ahead), dot(d, up) * scale / dot(d, ahead)))
    return abs(sum(points[i][0] * points[i - 1][1] - points[i - 1][0] * points[i][1] for i in range(len(points)))) / 2


def replays(g):
    return sorted(os.listdir(g.path("Replays"))) if os.path.isdir(g.path("Replays")) else []


def saved(g, n=1):
    return wait_until(lambda: sum(l.startswith("Saving replay: ") for l in g.lines()) >= n)


def test_starts_full_screen_with_its_textures_and_quits_on_escape(game):
    g = game()
    assert g.window()
    shot = g.shot()
    assert shot.size == (800, 600) and hud(shot)
    assert g.lines() == [START] + TEXTURES
    g.xdo("key", "Escape")
    assert g.wait_exit() == 0


@pytest.mark.parametrize("size", [(800, 600), (1366, 768)])
def test_tab_shows_the_help_picture_upright_at_any_width(game, size):
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
    assert not hud(shot)
    before = sorted(os.listdir(g.folder))
    assert wait_until(lambda: hud(g.shot()), 20), "Tab released: the field again"
    assert sorted(os.listdir(g.folder)) == before, "one screenshot.bmp, replaced"


def test_a_window_of_the_asked_size_instead_of_full_screen_closes_on_request(game):
    g = game("screen_width 640\nscreen_height 480\nfullscreen 0\n")
    assert g.window() and g.shot().size == (640, 480)
    x = xlib.Display(g.display.name)
    window = next(w for w in x.screen().root.query_tree().children if w.get_wm_name() == "Cubomb")
    protocols, close = x.intern_atom("WM_PROTOCOLS"), x.intern_atom("WM_DELETE_WINDOW")
    window.send_event(protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [close, X.CurrentTime, 0, 0, 0])))
    x.flush()
    assert g.wait_exit() == 0


def test_a_right_click_on_the_one_mine_wins_and_writes_the_replay_a_frame_later(game):
    g = game(ONE_MINE)
    assert g.window()
    assert not os.path.exists(g.path("Replays"))
    g.xdo("click", "3")
    assert saved(g)
    [name] = replays(g)
    assert re.fullmatch(r"\d\d-\d\d-\d\d \d\d\.\d\d\.\d\d \(default_player\)\.cubomb", name)
    assert g.lines()[-1] == "Saving replay: Replays/" + name
    lines = open(g.path("Replays/" + name)).read().split("\n")
    assert lines[:3] == ["# Cubomb replay file.", "# Player: default_player", "# Finished map? yes"]
    assert lines[4:6] + lines[7:] == ["BEGIN_SECTION MAP_DATA", "#syntax: x y z mine? time_finished", "END_SECTION", ""]
    total = float(re.fullmatch(r"# Total time: (\S+) seconds", lines[3])[1])
    stamp = float(re.fullmatch(r"0 0 0 1 (\S+)", lines[6])[1])
    assert stamp < total < 1e6, "the mine was stamped when flagged, the replay a frame later"
    assert cleared(g.shot())
    g.xdo("key", "Escape")
    assert g.wait_exit() == 0


def below_hud(shot):
    return shot.crop((0, 30) + shot.size)


def test_the_cube_a_click_would_act_on_is_outlined_and_a_right_click_flags_it(game):
    on, off = game("dimensions 3 3 3\n"), game("dimensions 3 3 3\nhighlight_target 0\n")
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


def test_a_loss_shows_the_mines_says_so_stops_the_clock_and_ignores_clicks(game):
    on, off = game(ONE_MINE), game(ONE_MINE + "highlight_target 0\n")
    for g in (on, off):
        assert g.window() and red(g.shot()) < 200
        g.xdo("click", "1")
        assert wait_until(lambda: red(g.shot()) > 5000, 20), "the mine shows at the crosshair"
    first = on.shot()
    on.xdo("click", "3")
    on.xdo("click", "1")
    time.sleep(1.2)
    second = on.shot()
    assert ImageChops.difference(first, second).getbbox() is None, "clicks and the clock change nothing"
    assert count(second, green_text, (510, 0, 552, 18)) > 10, "BOOM! N: new game"
    assert ImageChops.difference(below_hud(second), below_hud(off.shot())).getbbox() is None, "no outline"
    assert not os.path.exists(on.path("Replays"))


def test_a_box_without_mines_is_won_at_once_and_a_flood_opens_it_onto_the_green_floor(game):
    g = game("dimensions 3 3 1\ndensity 0\n")
    assert g.window() and saved(g)
    lines = open(g.path("Replays/" + replays(g)[0])).read().split("\n")
    assert lines[6:15] == ["%d %d 0 0 1e+07" % (i // 3, i % 3) for i in range(9)]
    shot = g.shot()
    assert cleared(shot) and floor(shot) < 100, "the cubes cover the floor"
    g.xdo("click", "1")
    assert wait_until(lambda: floor(g.shot()) > 5000, 20)
    expected = screen_area([(0, 0, 0), (3, 0, 0), (3, 3, 0), (0, 3, 0)], (-1, -1, 2), (0.5, 0.5, -0.7071068))
    assert abs(floor(g.shot()) - expected) < expected / 100, "the floor lies under the box"


def test_n_starts_a_new_game_and_the_next_win_keeps_the_first_replay(game):
    g = game(ONE_MINE + "player_name ../../x:y\n")
    assert g.window()
    g.xdo("click", "3")
    assert saved(g) and cleared(g.shot())
    g.xdo("key", "n")
    assert wait_until(lambda: not cleared(g.shot()), 20)
    g.xdo("click", "3")
    assert saved(g, 2)
    assert len(replays(g)) == 2 and all("(.._.._x_y)" in n for n in replays(g))
    assert not os.path.exists(os.path.join(g.folder, "..", "x:y).cubomb"))
    for name in replays(g):
        assert "# Player: ../../x:y\n" in open(g.path("Replays/" + name)).read()


def test_save_replays_0_writes_no_replay(game):
    g = game(ONE_MINE + "save_replays 0\n")
    assert g.window()
    g.xdo("click", "3")
    assert wait_until(lambda: cleared(g.shot()), 20)
    g.shot()
    assert not any(l.startswith("Saving replay") for l in g.lines())
    assert not os.path.exists(g.path("Replays"))


def test_holding_w_flies_forward_and_help_hides_the_crosshair(game):
    g = game()
    assert g.window()
    start = g.shot()
    assert ImageStat.Stat(ImageChops.difference(start, g.shot())).mean[0] < 1, "nothing moves by itself"
    for _ in range(12):
        g.xdo("key", "2")
    g.xdo("keydown", "w", "sleep", "0.6", "keyup", "w")
    moved = g.shot()
    grey = lambda r, g, b: r > 60 and abs(r - b) < 30
    assert count(moved, grey, (0, 30, 800, 600)) > count(start, grey, (0, 30, 800, 600)), "closer, the box looks bigger"
    g.xdo("keydown", "Tab")
    help = g.shot()
    g.xdo("keyup", "Tab")
    assert count(help, lambda r, g, b: r > 200 and g < 40, (390, 290, 410, 310)) == 0
