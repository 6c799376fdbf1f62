#include <gtest/gtest.h>

#include <map>
#include <random>

#include "input/SDL_Input.h"

namespace {

SDL_Event KeyEvent(Uint8 type, SDLKey key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event ButtonEvent(Uint8 type, Uint8 button) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    return event;
}

SDL_Event MotionEvent(Sint16 dx, Sint16 dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return event;
}

class InputRecord : public ::testing::Test {
protected:
    void Feed(SDL_Event event) { wrapper.ReadEvent(event); }
    void Press(SDLKey key) { Feed(KeyEvent(SDL_KEYDOWN, key)); }
    void Release(SDLKey key) { Feed(KeyEvent(SDL_KEYUP, key)); }
    const Input& In() const { return *wrapper.GetInput(); }

    InputWrapper wrapper;
};

TEST_F(InputRecord, TranslatesTheWholeKeyTable) {
    std::map<SDLKey, int> expected;
    for (int k = SDLK_a; k <= SDLK_z; ++k) expected[SDLKey(k)] = k;
    for (int d = 1; d <= 9; ++d) expected[SDLKey(SDLK_0 + d)] = d;
    expected[SDLK_0] = 10;
    for (int f = 0; f < 12; ++f) expected[SDLKey(SDLK_F1 + f)] = 111 + f;
    const std::pair<SDLKey, int> others[] = {
        {SDLK_ESCAPE, 11}, {SDLK_SPACE, 12}, {SDLK_UP, 13}, {SDLK_DOWN, 14}, {SDLK_LEFT, 15},
        {SDLK_RIGHT, 16}, {SDLK_LCTRL, 17}, {SDLK_RCTRL, 18}, {SDLK_TAB, 19}, {SDLK_BACKQUOTE, 20},
        {SDLK_BACKSLASH, 21}, {SDLK_BACKSPACE, 22}, {SDLK_RETURN, 23}, {SDLK_LSHIFT, 25},
        {SDLK_RSHIFT, 26}, {SDLK_MINUS, 27}, {SDLK_EQUALS, 28}, {SDLK_LEFTBRACKET, 29},
        {SDLK_RIGHTBRACKET, 30}, {SDLK_COMMA, 31}, {SDLK_PERIOD, 32}, {SDLK_SLASH, 33},
        {SDLK_SEMICOLON, 34}, {SDLK_QUOTE, 35}};
    expected.insert(std::begin(others), std::end(others));
    ASSERT_EQ(expected.size(), 72u);
    for (int key = SDLK_FIRST; key < SDLK_LAST; ++key) {
        wrapper.BeginCycle();
        Press(SDLKey(key));
        const auto found = expected.find(SDLKey(key));
        const int code = found == expected.end() ? -1 : found->second;
        std::list<int> order;
        In().GetKeysPressedInOrder(order);
        EXPECT_EQ(order, std::list<int>{code}) << "SDL key " << key;
        Release(SDLKey(key));
    }
}

TEST_F(InputRecord, CountsPressesPerFrameAndKeepsHeldKeysAcrossFrames) {
    Press(SDLK_w);
    Press(SDLK_q);
    Release(SDLK_q);
    Press(SDLK_q);
    EXPECT_EQ(In().KeyPressed('q'), 2);
    EXPECT_EQ(In().KeyReleased('q'), 1);
    EXPECT_TRUE(In().KeyDown('q'));
    std::list<int> order;
    In().GetKeysPressedInOrder(order);
    EXPECT_EQ(order, (std::list<int>{'w', 'q', 'q'}));

    wrapper.BeginCycle();
    EXPECT_EQ(In().KeyPressed('w'), 0);
    EXPECT_TRUE(In().KeyDown('w'));
    std::list<int> held = {99};
    In().GetKeysDown(held);
    EXPECT_EQ(held, (std::list<int>{99, 'q', 'w'}));
    Release(SDLK_w);
    EXPECT_FALSE(In().KeyDown('w'));
    EXPECT_EQ(In().KeyReleased('w'), 1);
}

TEST_F(InputRecord, MouseButtonsAndMotion) {
    Feed(MotionEvent(400, 300));  // SDL's first motion: the pointer's absolute position
    EXPECT_EQ(In().MouseXChange(), 0);
    EXPECT_EQ(In().MouseYChange(), 0);
    Feed(MotionEvent(-5, 7));
    Feed(MotionEvent(-10, -20));
    Feed(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    Feed(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
    Feed(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    Feed(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
    Feed(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    for (Uint8 ignored : {Uint8(SDL_BUTTON_MIDDLE), Uint8(SDL_BUTTON_WHEELUP), Uint8(SDL_BUTTON_WHEELDOWN)}) {
        Feed(ButtonEvent(SDL_MOUSEBUTTONDOWN, ignored));
        Feed(ButtonEvent(SDL_MOUSEBUTTONUP, ignored));
    }
    EXPECT_EQ(In().MouseXChange(), -15);
    EXPECT_EQ(In().MouseYChange(), -13);
    EXPECT_EQ(In().Mouse1Pressed(), 2);
    EXPECT_EQ(In().Mouse1Released(), 2);
    EXPECT_FALSE(In().Mouse1Down());
    EXPECT_EQ(In().Mouse2Pressed(), 1);
    EXPECT_EQ(In().Mouse2Released(), 0);
    EXPECT_TRUE(In().Mouse2Down());

    wrapper.BeginCycle();
    EXPECT_EQ(In().MouseXChange(), 0);
    EXPECT_EQ(In().Mouse1Pressed() + In().Mouse2Pressed() + In().Mouse2Released(), 0);
    EXPECT_TRUE(In().Mouse2Down());
    Feed(MotionEvent(3, 4));
    EXPECT_EQ(In().MouseXChange(), 3) << "only the very first motion is discarded";
}

// Oracle: a plain model of held keys and per-frame counts under random traffic,
// with keys that share a code (F2 and 'p', unlisted keys) acting as one key.
TEST_F(InputRecord, RandomTrafficMatchesASimpleModel) {
    std::mt19937 random(11);
    const SDLKey keys[] = {SDLK_a, SDLK_b, SDLK_F2, SDLK_p, SDLK_INSERT, SDLK_HOME, SDLK_TAB};
    const int codes[] = {'a', 'b', 'p', 'p', -1, -1, 19};
    std::set<int> held;
    for (int frame = 0; frame < 300; ++frame) {
        wrapper.BeginCycle();
        std::map<int, int> pressed;
        std::map<int, int> released;
        for (int n = random() % 6; n > 0; --n) {
            const int k = random() % 7;
            const bool down = random() % 2;
            down ? Press(keys[k]) : Release(keys[k]);
            (down ? pressed : released)[codes[k]]++;
            down ? void(held.insert(codes[k])) : void(held.erase(codes[k]));
        }
        for (const int code : {int('a'), int('b'), int('p'), -1, 19}) {
            EXPECT_EQ(In().KeyPressed(code), pressed[code]);
            EXPECT_EQ(In().KeyReleased(code), released[code]);
            EXPECT_EQ(In().KeyDown(code), held.count(code) == 1);
        }
    }
}

}  // namespace
