# A long random play on a 20-cube box: random keys, mouse motion, clicks, new games and screenshots.
# The game must not crash, its camera must stay finite, its memory flat after warming up,
# and every replay it writes must read back whole through the game's own reader.
import os, random, re, subprocess, time
import pytest
from conftest import EXE

SECONDS = float(os.environ.get("CUBOMB_SOAK_SECONDS", 120))
TAPS = ["1", "2", "n", "p", "q", "Tab", "F2", "x", "KP_5"]
HELD = ["w", "a", "s", "d", "space", "c", "Control_L", "Tab"]


def resident_kb(pid):
    return int(re.search(r"VmRSS:\s+(\d+)", open("/proc/%d/status" % pid).read())[1])


def camera(pid):
    out = subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "frame function main", "-ex", "print info.camera"],
                         capture_output=True, text=True).stdout
    return out[out.find("position = "):] if "position = " in out else "no camera"


def act(g, rnd):
    choice, key = rnd.randrange(100), rnd.choice(HELD)
    if choice < 30:
        g.xdo("mousemove_relative", "--", str(rnd.randint(-200, 200)), str(rnd.randint(-200, 200)))
    elif choice < 50:
        g.xdo("click", rnd.choice("13"))
    elif choice < 80:
        g.xdo("keydown", key, "sleep", "0.%d" % rnd.randrange(3), "keyup", key)
    else:
        g.xdo("key", "n" if choice < 82 else rnd.choice(TAPS))


@pytest.mark.parametrize("params,share,seed", [("dimensions 20 20 20\n", 2 / 3, 5), ("dimensions 20 20 20\ndensity 0\n", 1 / 3, 6)])
def test_random_play(game, params, share, seed):
    g = game(params)
    assert g.window()
    rnd, start, memory, cameras = random.Random(seed), time.monotonic(), ([], []), []
    while (elapsed := (time.monotonic() - start) / (SECONDS * share)) < 1 and g.running():
        act(g, rnd)
        memory[elapsed > 0.3].append(resident_kb(g.process.pid))
        elapsed > 0.5 and not cameras and cameras.append(camera(g.process.pid))
    g.xdo(*[a for key in HELD for a in ("keyup", key)])
    assert g.running(), "the game ended during play"
    for c in cameras + [camera(g.process.pid)]:
        assert "nan" not in c and "inf" not in c and "position = " in c, c
    warm, peak = max(memory[0]), max(memory[1])
    print("resident memory: %d kB after warming up, at most %d kB later" % (warm, peak))
    assert peak < warm + 32 * 1024, "resident memory grew after warming up"
    assert g.shot() is not None
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0
    scores = subprocess.run([EXE, "--scores"], cwd=g.folder, capture_output=True, text=True)
    assert scores.returncode == 0 and scores.stderr == "", "every replay reads back whole"
    assert seed == 5 or len(os.listdir(g.path("Replays"))) > 2 and scores.stdout.startswith("20x20x20, 0 mines\n")
