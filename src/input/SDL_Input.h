#ifndef CUBOMB_INPUT_SDL_INPUT_H
#define CUBOMB_INPUT_SDL_INPUT_H

// One input record per frame, drained from SDL's event queue and keyed by the
// game's own key codes: letters are their lower-case character codes, digits
// 1 to 9 are 1 to 9 (0 is 10), Escape 11, Space 12, left Ctrl 17, Tab 19,
// F1 to F12 are 111 to 122 (shared with 'o' to 'z'), anything else -1.

#include <SDL.h>

#include <list>
#include <map>
#include <set>

namespace KeyCode {
constexpr int kDigit1 = 1;
constexpr int kDigit2 = 2;
constexpr int kDigit9 = 9;
constexpr int kDigit0 = 10;
constexpr int kEscape = 11;
constexpr int kSpace = 12;
constexpr int kUpArrow = 13;
constexpr int kDownArrow = 14;
constexpr int kLeftArrow = 15;
constexpr int kRightArrow = 16;
constexpr int kLeftCtrl = 17;
constexpr int kTab = 19;
constexpr int kBackspace = 22;
constexpr int kReturn = 23;
constexpr int kLeftBracket = 29;
constexpr int kRightBracket = 30;
constexpr int kUnlisted = -1;
}  // namespace KeyCode

class Input {
public:
    int Mouse1Pressed() const { return mouse1PressCount; }
    int Mouse1Released() const { return mouse1ReleaseCount; }
    bool Mouse1Down() const { return mouse1Down; }
    int Mouse2Pressed() const { return mouse2PressCount; }
    int Mouse2Released() const { return mouse2ReleaseCount; }
    bool Mouse2Down() const { return mouse2Down; }
    int Mouse3Pressed() const { return mouse3PressCount; }  // the middle button
    int Mouse3Released() const { return mouse3ReleaseCount; }
    bool Mouse3Down() const { return mouse3Down; }
    // The window lost the input focus, or was minimised, this many times this frame.
    int FocusLost() const { return focusLosses; }
    int KeyPressed(int code) const;
    int KeyReleased(int code) const;
    bool KeyDown(int code) const;
    int MouseXChange() const { return mouseXChange; }
    int MouseYChange() const { return mouseYChange; }
    // Where the pointer was last seen, in window pixels from the top left,
    // and how many times it moved this frame.
    int PointerX() const { return pointerX; }
    int PointerY() const { return pointerY; }
    int PointerMoves() const { return pointerMoves; }
    // Turns of the wheel away from and towards the player this frame.
    int WheelUp() const { return wheelUps; }
    int WheelDown() const { return wheelDowns; }
    // The window's new size when it changed this frame, else zeros.
    int ResizedWidth() const { return resizedWidth; }
    int ResizedHeight() const { return resizedHeight; }
    void GetKeysPressedInOrder(std::list<int>& out) const;
    void GetKeysDown(std::list<int>& out) const;

    // A press whose release comes before the pointer strays more than
    // kClickSlop pixels from where it went down is a click; anything more is
    // a drag. Buttons 1 left, 2 right, 3 middle.
    static constexpr int kClickSlop = 4;
    int Clicks(int button) const { return buttons[button - 1].clicks; }
    // Where the last click of this frame was released.
    int ClickX() const { return clickX; }
    int ClickY() const { return clickY; }
    // The pointer's motion this frame while the button drags, all of it from
    // where it went down once it strays past the slop.
    int DragXChange(int button) const { return buttons[button - 1].dragX; }
    int DragYChange(int button) const { return buttons[button - 1].dragY; }

private:
    friend class InputWrapper;

    struct Button {
        bool down = false;
        bool dragging = false;  // or its click was called off
        int fromX = 0, fromY = 0;
        int clicks = 0;
        int dragX = 0, dragY = 0;
    };
    Button buttons[3];
    int clickX = 0;
    int clickY = 0;

    std::map<int, int> keyPressCounts;
    std::map<int, int> keyReleaseCounts;
    std::set<int> keysDown;
    int mouse1PressCount = 0;
    int mouse1ReleaseCount = 0;
    bool mouse1Down = false;
    int mouse2PressCount = 0;
    int mouse2ReleaseCount = 0;
    bool mouse2Down = false;
    int mouse3PressCount = 0;
    int mouse3ReleaseCount = 0;
    bool mouse3Down = false;
    int mouseXChange = 0;
    int mouseYChange = 0;
    std::list<int> keysPressedInOrder;
    int focusLosses = 0;
    int pointerX = 0;
    int pointerY = 0;
    int pointerMoves = 0;
    int wheelUps = 0;
    int wheelDowns = 0;
    int resizedWidth = 0;
    int resizedHeight = 0;
    // SDL 1.2 reports the first motion's absolute position as its relative motion.
    bool motionSeen = false;
};

class InputWrapper {
public:
    InputWrapper();
    ~InputWrapper();
    InputWrapper(const InputWrapper&) = delete;
    InputWrapper& operator=(const InputWrapper&) = delete;

    void BeginCycle();
    // A close request of the window ends the process here, with status 0.
    void ReadEvent(SDL_Event& event);
    void TakeInInput();
    Input* GetInput() const { return input; }
    // The next motion turns nothing: after the pointer was free, or grabbed
    // again, its first relative motion is a jump, not the player's move.
    void SkipNextMotion() { input->motionSeen = false; }
    // The buttons held now end in no click: they went down for something else, as the menu.
    void CallOffClicks();

private:
    int Translate(SDLKey key) const;
    void ReadMouseButton(const SDL_MouseButtonEvent& event, bool down);
    void TrackButton(Input::Button& button, const SDL_MouseButtonEvent& event, bool down);
    void TrackDrags(int x, int y);

    Input* input;
    std::map<int, int> keyTranslation;
};

#endif
