#ifndef CUBOMB_UI_MENU_H
#define CUBOMB_UI_MENU_H

// The in-game menu as plain data: its items top to bottom, the one selected,
// the values a player edits and what Return on an item asks for. Nothing here
// draws or reads the keyboard.
//
// Numbers take at most eight digits; the first digit typed on an item clears
// its old value. Left and Right step a number by one without leaving 1 to
// 99999999, the box through the presets, a switch between ON and OFF, the
// camera between FLY and ORBIT, and the sound by tens.

#include <string>

#include "ui/GameChoice.h"

class Menu {
public:
    enum Item { kBox, kX, kY, kZ, kMines, kNoGuess, kSafeFirstClick, kCamera, kSound, kStart, kResume, kBestTimes, kStatistics, kQuit };
    static constexpr int kItems = kQuit + 1;
    static constexpr int kLargestNumber = 99999999;
    enum class Action { kNone, kStart, kResume, kQuit };
    // What the menu shows below its items.
    enum class Shown { kNothing, kBestTimes, kStatistics };

    Menu() = default;
    // Opens on BOX with the values of the game being played.
    explicit Menu(const GameChoice& current) : choice(current) {}

    void Up() { Select(static_cast<Item>((selected + kItems - 1) % kItems)); }
    void Down() { Select(static_cast<Item>((selected + 1) % kItems)); }
    void Select(Item item);
    void Left() { Step(-1); }
    void Right() { Step(1); }
    void Digit(int digit);
    void Backspace();
    // Return: items from BOX to START start the game unless the choice
    // cannot be played, which only sets the refusal.
    Action Enter();

    Item Selected() const { return selected; }
    const GameChoice& Choice() const { return choice; }
    Shown Showing() const { return shown; }
    // Why the last START was refused, until the values change.
    const std::string& Refusal() const { return refusal; }
    static const char* Label(Item item);
    static bool HasValue(Item item) { return item < kStart; }
    // The value shown on the right of an item; empty for an item without one.
    std::string Value(Item item) const;

private:
    int* Number(Item item);
    void Step(int direction);
    void StepBox(int direction);
    void Edited();
    void Toggle(Shown panel) { shown = shown == panel ? Shown::kNothing : panel; }

    Item selected = kBox;
    GameChoice choice;
    bool typing = false;
    Shown shown = Shown::kNothing;
    std::string refusal;
};

#endif
