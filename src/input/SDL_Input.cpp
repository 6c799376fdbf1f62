#include "input/SDL_Input.h"

#include "support/ProcessEnd.h"

int Input::KeyPressed(int code) const {
    const auto found = keyPressCounts.find(code);
    return found == keyPressCounts.end() ? 0 : found->second;
}

int Input::KeyReleased(int code) const {
    const auto found = keyReleaseCounts.find(code);
    return found == keyReleaseCounts.end() ? 0 : found->second;
}

bool Input::KeyDown(int code) const {
    return keysDown.count(code) != 0;
}

void Input::GetKeysPressedInOrder(std::list<int>& out) const {
    out = keysPressedInOrder;
}

void Input::GetKeysDown(std::list<int>& out) const {
    out.insert(out.end(), keysDown.begin(), keysDown.end());
}

namespace {

struct Translation {
    SDLKey key;
    int code;
};

constexpr Translation kOtherKeys[] = {
    {SDLK_ESCAPE, 11},    {SDLK_SPACE, 12},        {SDLK_UP, 13},          {SDLK_DOWN, 14},
    {SDLK_LEFT, 15},      {SDLK_RIGHT, 16},        {SDLK_LCTRL, 17},       {SDLK_RCTRL, 18},
    {SDLK_TAB, 19},       {SDLK_BACKQUOTE, 20},    {SDLK_BACKSLASH, 21},   {SDLK_BACKSPACE, 22},
    {SDLK_RETURN, 23},    {SDLK_LSHIFT, 25},       {SDLK_RSHIFT, 26},      {SDLK_MINUS, 27},
    {SDLK_EQUALS, 28},    {SDLK_LEFTBRACKET, 29},  {SDLK_RIGHTBRACKET, 30}, {SDLK_COMMA, 31},
    {SDLK_PERIOD, 32},    {SDLK_SLASH, 33},        {SDLK_SEMICOLON, 34},   {SDLK_QUOTE, 35},
};

}  // namespace

InputWrapper::InputWrapper() : input(new Input) {
    for (int key = SDLK_a; key <= SDLK_z; ++key) {
        keyTranslation[key] = key;
    }
    for (int digit = 1; digit <= 9; ++digit) {
        keyTranslation[SDLK_0 + digit] = digit;
    }
    keyTranslation[SDLK_0] = 10;
    for (int f = 0; f < 12; ++f) {
        keyTranslation[SDLK_F1 + f] = 111 + f;
    }
    for (const Translation& t : kOtherKeys) {
        keyTranslation[t.key] = t.code;
    }
}

InputWrapper::~InputWrapper() {
    delete input;
}

void InputWrapper::BeginCycle() {
    input->keyPressCounts.clear();
    input->keyReleaseCounts.clear();
    input->keysPressedInOrder.clear();
    input->mouseXChange = 0;
    input->mouseYChange = 0;
    input->mouse1PressCount = 0;
    input->mouse2PressCount = 0;
    input->mouse1ReleaseCount = 0;
    input->mouse2ReleaseCount = 0;
    input->mouse3PressCount = 0;
    input->mouse3ReleaseCount = 0;
    input->focusLosses = 0;
    input->pointerMoves = 0;
    input->wheelUps = 0;
    input->wheelDowns = 0;
    input->resizedWidth = input->resizedHeight = 0;
    for (Input::Button& button : input->buttons) {
        button.clicks = button.dragX = button.dragY = 0;
    }
}

void InputWrapper::CallOffClicks() {
    for (Input::Button& button : input->buttons) {
        button.dragging = true;
    }
}

void InputWrapper::TrackButton(Input::Button& button, const SDL_MouseButtonEvent& event, bool down) {
    if (down) {
        button = Input::Button{true, false, event.x, event.y, button.clicks, button.dragX, button.dragY};
        return;
    }
    if (button.down && !button.dragging) {
        ++button.clicks;
        input->clickX = event.x;
        input->clickY = event.y;
    }
    button.down = false;
}

// A drag takes over from where the button went down, so nothing of it is lost to the slop.
void InputWrapper::TrackDrags(int x, int y) {
    for (Input::Button& button : input->buttons) {
        if (!button.down) {
            continue;
        }
        const int dx = x - button.fromX;
        const int dy = y - button.fromY;
        if (button.dragging || dx * dx + dy * dy > Input::kClickSlop * Input::kClickSlop) {
            button.dragX += dx;
            button.dragY += dy;
            button.dragging = true;
            button.fromX = x;
            button.fromY = y;
        }
    }
}

int InputWrapper::Translate(SDLKey key) const {
    const auto found = keyTranslation.find(key);
    return found == keyTranslation.end() ? KeyCode::kUnlisted : found->second;
}

void InputWrapper::ReadMouseButton(const SDL_MouseButtonEvent& event, bool down) {
    const Uint8 button = event.button;
    input->pointerX = event.x;
    input->pointerY = event.y;
    if (button >= SDL_BUTTON_LEFT && button <= SDL_BUTTON_RIGHT) {
        TrackButton(input->buttons[button == SDL_BUTTON_LEFT ? 0 : (button == SDL_BUTTON_RIGHT ? 1 : 2)], event, down);
    }
    if (button == SDL_BUTTON_LEFT) {
        ++(down ? input->mouse1PressCount : input->mouse1ReleaseCount);
        input->mouse1Down = down;
    } else if (button == SDL_BUTTON_RIGHT) {
        ++(down ? input->mouse2PressCount : input->mouse2ReleaseCount);
        input->mouse2Down = down;
    } else if (button == SDL_BUTTON_MIDDLE) {
        ++(down ? input->mouse3PressCount : input->mouse3ReleaseCount);
        input->mouse3Down = down;
    } else if (down && (button == SDL_BUTTON_WHEELUP || button == SDL_BUTTON_WHEELDOWN)) {
        ++(button == SDL_BUTTON_WHEELUP ? input->wheelUps : input->wheelDowns);
    }
}

void InputWrapper::ReadEvent(SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN: {
            const int code = Translate(event.key.keysym.sym);
            ++input->keyPressCounts[code];
            input->keysDown.insert(code);
            input->keysPressedInOrder.push_back(code);
            break;
        }
        case SDL_KEYUP: {
            const int code = Translate(event.key.keysym.sym);
            ++input->keyReleaseCounts[code];
            input->keysDown.erase(code);
            break;
        }
        case SDL_MOUSEMOTION:
            TrackDrags(event.motion.x, event.motion.y);
            input->pointerX = event.motion.x;
            input->pointerY = event.motion.y;
            ++input->pointerMoves;
            if (input->motionSeen) {
                input->mouseXChange += event.motion.xrel;
                input->mouseYChange += event.motion.yrel;
            }
            input->motionSeen = true;
            break;
        case SDL_MOUSEBUTTONDOWN:
            ReadMouseButton(event.button, true);
            break;
        case SDL_MOUSEBUTTONUP:
            ReadMouseButton(event.button, false);
            break;
        case SDL_ACTIVEEVENT:
            if (event.active.gain == 0 && (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0) {
                ++input->focusLosses;
            }
            break;
        case SDL_VIDEORESIZE:
            input->resizedWidth = event.resize.w;
            input->resizedHeight = event.resize.h;
            break;
        case SDL_QUIT:
            QuitNormally();
        default:
            break;
    }
}

void InputWrapper::TakeInInput() {
    BeginCycle();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        ReadEvent(event);
    }
}
