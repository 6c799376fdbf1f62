# Sound through SDL's disk driver, which writes every sample mixed to a file; and the game never held up by sound.
import os, struct, tempfile
import pytest
from conftest import wait_until
from test_play import ONE_MINE, red


def loudest(path):
    data = open(path, "rb").read() if os.path.exists(path) else b""
    return max((abs(s) for s in struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])), default=0)


@pytest.mark.parametrize("volume", [60, 0])
def test_a_loss_is_heard_unless_the_volume_is_0(game, volume):
    heard = tempfile.mktemp(prefix="cubomb-audio-")
    g = game(ONE_MINE + "sound_volume %d\n" % volume, env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": heard})
    try:
        assert g.window()
        assert loudest(heard) == 0, "silence before the click"
        g.xdo("click", "1")
        assert wait_until(lambda: red(g.shot()) > 5000), "lost"
        if volume:
            assert wait_until(lambda: loudest(heard) > 5000, 20), "the explosion"
        else:
            assert not os.path.exists(heard), "no audio device opened at all"
        assert not any(line.startswith("Warning: no sound") for line in g.lines(1))
    finally:
        os.path.exists(heard) and os.unlink(heard)


@pytest.mark.parametrize("env,prepare,warning", [
    ({"SDL_AUDIODRIVER": "no_such_driver"}, None, "Warning: no sound: "),
    ({}, lambda folder: os.unlink(os.path.join(folder, "Sounds", "loss.wav")), "Warning: no sound: Sounds/loss.wav: "),
])
def test_without_a_device_or_a_sound_file_the_game_plays_on_and_says_so_once(game, env, prepare, warning):
    g = game(ONE_MINE, env=env, prepare=prepare)
    assert g.window()
    g.xdo("click", "1")
    assert wait_until(lambda: red(g.shot()) > 5000), "lost, and still drawing"
    said = [line for line in g.lines(1) if line.startswith("Warning: no sound")]
    assert len(said) == 1 and said[0].startswith(warning)
    g.xdo("key", "Escape")
    assert g.process.wait(60) == 0
