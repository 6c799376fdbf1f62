#include "support/ProcessEnd.h"

#include <cstdlib>
#include <iostream>

#include "system/System.h"

namespace {

std::function<void()>& QuitHook() {
    static std::function<void()> hook;
    return hook;
}

[[noreturn]] void FailWith(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out << line << '\n';
    }
    out.flush();
    std::exit(1);
}

}  // namespace

void Fatal(const std::string& line) {
    FailWith(std::cout, {line});
}

void Fatal(const std::vector<std::string>& lines) {
    FailWith(std::cout, lines);
}

void FatalOnStandardError(const std::string& line) {
    FailWith(std::cerr, {line});
}

void SetQuitHook(std::function<void()> hook) {
    QuitHook() = std::move(hook);
}

void QuitNormally() {
    if (QuitHook()) {
        QuitHook()();
    }
    std::cout.flush();
    System::Quit();
}
