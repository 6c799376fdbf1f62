#include "replay/SavedGame.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <string_view>
#include <vector>

#include "support/Files.h"
#include "system/System.h"

const char* const kSavedGameFile = "saved_game.txt";

namespace {

constexpr const char* kHeader = "cubomb_saved_game 1";
constexpr unsigned long long kMostCubes = 16777216;
constexpr int kRunsPerLine = 32;
// The letters of a cube run by state, mine and time; upper case carries a time.
constexpr char kLetters[3][2] = {{'u', 'u'}, {'c', 'm'}, {'f', 'g'}};

// The shortest text that reads back as the same float.
std::string Exact(float value) {
    return System::FloatText(value);
}

void WriteCamera(std::ostream& out, const char* name, const SavedCamera& c, bool orbit) {
    out << name << ' ' << Exact(c.eye.x) << ' ' << Exact(c.eye.y) << ' ' << Exact(c.eye.z) << ' ' << Exact(c.yaw) << ' '
        << Exact(c.tilt) << ' ' << (orbit ? Exact(c.distance) + " " : "") << Exact(c.speed) << '\n';
}

void WriteCubes(std::ostream& out, const FieldSnapshot& field) {
    out << "cubes " << field.cubes.size() << '\n';
    std::string line;
    int onLine = 0;
    for (const FieldSnapshot::CubeRun& run : field.cubes) {
        const char letter = kLetters[run.state][run.mine];
        line += (onLine == 0 ? "" : " ") + (run.count == 1 ? "" : std::to_string(run.count));
        line += run.timed ? static_cast<char>(letter - 'a' + 'A') : letter;
        if (++onLine == kRunsPerLine) {
            out << line << '\n';
            line.clear();
            onLine = 0;
        }
    }
    if (onLine > 0) {
        out << line << '\n';
    }
    out << "times " << field.times.size() << '\n';
    for (const FieldSnapshot::TimeRun& run : field.times) {
        out << run.count << ' ' << Exact(run.time) << '\n';
    }
}

// The text's lines one after another, numbered for the messages, each split
// at spaces and tabs with carriage returns dropped, as the settings split theirs.
class Lines {
public:
    explicit Lines(const std::string& text) : text(text) {}

    bool Next(std::vector<std::string_view>& tokens) {
        tokens.clear();
        if (at >= text.size()) {
            return false;
        }
        const size_t feed = std::min(text.find('\n', at), text.size());
        std::string_view line(text.data() + at, feed - at);
        at = feed + 1;
        ++number;
        if (line.find('\r') != std::string_view::npos) {
            scratch.assign(line.begin(), line.end());
            scratch.erase(std::remove(scratch.begin(), scratch.end(), '\r'), scratch.end());
            line = scratch;
        }
        for (size_t start = 0; start < line.size();) {
            const size_t stop = std::min(line.find_first_of(" \t", start), line.size());
            if (stop > start) {
                tokens.push_back(line.substr(start, stop - start));
            }
            start = stop + 1;
        }
        return true;
    }
    int Number() const { return number; }

private:
    const std::string& text;
    std::string scratch;
    size_t at = 0;
    int number = 0;
};

template <typename T>
bool Number(std::string_view token, T& value) {
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return error == std::errc() && end == token.data() + token.size();
}

bool Finite(std::string_view token, float& value) {
    return System::ReadFloat(token, value) && std::isfinite(value);
}

bool Switch(std::string_view token, bool& value) {
    value = token == "1";
    return token == "0" || token == "1";
}

// Reads the saved game line by line; each step says what it found wrong.
class Reader {
public:
    Reader(const std::string& text, SavedGame& game) : lines(text), game(game) {}

    bool Read(std::string& problem) {
        if (!Header() || !Box() || !Player() || !Values() || !Camera("fly", game.fly, false) ||
            !Camera("orbit", game.orbiting, true) || !Cut() || !Cubes() || !Times() || !End()) {
            problem = "line " + std::to_string(lines.Number()) + ": " + wrong;
            return false;
        }
        return true;
    }

private:
    bool Line(const char* key, size_t values) {
        wrong = std::string("not ") + key;
        return lines.Next(tokens) && tokens.size() == values + 1 && tokens[0] == key;
    }

    bool Header() {
        do {
            if (!lines.Next(tokens)) {
                wrong = "not a saved game";
                return false;
            }
        } while (!tokens.empty() && tokens[0][0] == '#');
        wrong = "not a saved game";
        return tokens.size() == 2 && tokens[0] == "cubomb_saved_game" && tokens[1] == "1";
    }

    bool Box() {
        FieldSnapshot& f = game.field;
        if (!Line("box", 3) || !Number(tokens[1], f.sizeX) || !Number(tokens[2], f.sizeY) || !Number(tokens[3], f.sizeZ)) {
            return false;
        }
        wrong = "a box of no cube or too many";
        return f.sizeX > 0 && f.sizeY > 0 && f.sizeZ > 0 &&
               static_cast<unsigned long long>(f.sizeX) * f.sizeY * f.sizeZ <= kMostCubes;
    }

    bool Player() {
        wrong = "not player";
        if (!lines.Next(tokens) || tokens.size() != 2 || tokens[0] != "player") {
            return false;
        }
        game.player = std::string(tokens[1]);
        return true;
    }

    bool Values() {
        std::string_view camera;
        const bool read = Line("retry", 1) && Switch(tokens[1], game.retry) && Line("clock", 1) &&
                          Finite(tokens[1], game.clock) && game.clock >= 0 && Line("no_guess_found", 1) &&
                          Switch(tokens[1], game.field.noGuessFound) && Line("camera", 1);
        camera = read ? tokens[1] : "";
        game.orbit = camera == "orbit";
        return read && (camera == "fly" || camera == "orbit");
    }

    bool Camera(const char* key, SavedCamera& c, bool orbit) {
        float* const values[] = {&c.eye.x, &c.eye.y, &c.eye.z, &c.yaw, &c.tilt, orbit ? &c.distance : &c.speed, &c.speed};
        const size_t count = orbit ? 7 : 6;
        if (!Line(key, count)) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            if (!Finite(tokens[i + 1], *values[i])) {
                return false;
            }
        }
        wrong = std::string(key) + ": a speed or distance of 0 or less";
        return c.speed > 0 && (!orbit || c.distance > 0);
    }

    bool Cut() {
        ::Cut& cut = game.field.cut;
        return Line("cut", 3) && Number(tokens[1], cut.axis) && Number(tokens[2], cut.sign) && Number(tokens[3], cut.layers);
    }

    bool CubeRun(std::string_view token) {
        FieldSnapshot::CubeRun run{1, 0, false, false};
        const char letter = token.back();
        const char lower = static_cast<char>(letter | 0x20);
        run.timed = letter != lower;
        run.state = lower == 'u' ? Block::kUncovered : (lower == 'c' || lower == 'm' ? Block::kCovered : Block::kFlagged);
        run.mine = lower == 'm' || lower == 'g';
        wrong = "not a run of cubes";
        const bool counted = token.size() == 1 || (Number(token.substr(0, token.size() - 1), run.count) && token[0] != '0');
        return counted && std::string_view("ucmfg").find(lower) != std::string_view::npos && AddRun(run);
    }

    // Neighbouring runs alike are one run, as the game writes them.
    bool AddRun(const FieldSnapshot::CubeRun& run) {
        std::vector<FieldSnapshot::CubeRun>& cubes = game.field.cubes;
        const bool alike = !cubes.empty() && cubes.back().state == run.state && cubes.back().mine == run.mine &&
                           cubes.back().timed == run.timed;
        return alike ? Merge(cubes.back().count, run.count) : (cubes.push_back(run), true);
    }

    bool AddRun(const FieldSnapshot::TimeRun& run) {
        std::vector<FieldSnapshot::TimeRun>& times = game.field.times;
        const bool alike = !times.empty() && times.back().time == run.time;
        return alike ? Merge(times.back().count, run.count) : (times.push_back(run), true);
    }

    static bool Merge(uint32_t& count, uint32_t more) {
        if (more > UINT32_MAX - count) {
            return false;
        }
        count += more;
        return true;
    }

    bool Cubes() {
        size_t runs = 0;
        if (!Line("cubes", 1) || !Number(tokens[1], runs)) {
            return false;
        }
        game.field.cubes.reserve(std::min<size_t>(runs, kMostCubes));
        for (size_t read = 0; read < runs; read += tokens.size()) {
            wrong = "fewer runs of cubes than said";
            if (!lines.Next(tokens) || tokens.empty() || tokens.size() > runs - read) {
                return false;
            }
            for (const std::string_view token : tokens) {
                if (!CubeRun(token)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool Times() {
        size_t runs = 0;
        if (!Line("times", 1) || !Number(tokens[1], runs)) {
            return false;
        }
        for (size_t i = 0; i < runs; ++i) {
            FieldSnapshot::TimeRun run{};
            wrong = "not a run of times";
            if (!lines.Next(tokens) || tokens.size() != 2 || !Number(tokens[0], run.count) || run.count == 0 ||
                !Finite(tokens[1], run.time) || run.time < 0 || !AddRun(run)) {
                return false;
            }
        }
        return true;
    }

    // The field must be one a game in progress can have.
    bool End() {
        if (!Line("end", 0)) {
            return false;
        }
        wrong = "the cubes do not fit the box";
        if (!SnapshotFits(game.field)) {
            return false;
        }
        wrong = "no cube uncovered";
        const auto& runs = game.field.cubes;
        if (std::none_of(runs.begin(), runs.end(), [](const auto& run) { return run.state == Block::kUncovered; })) {
            return false;
        }
        wrong = "more after the end";
        while (lines.Next(tokens)) {
            if (!tokens.empty()) {
                return false;
            }
        }
        return true;
    }

    Lines lines;
    SavedGame& game;
    std::vector<std::string_view> tokens;
    std::string wrong;
};

}  // namespace

void WriteSavedGame(const SavedGame& game, std::ostream& out) {
    const FieldSnapshot& f = game.field;
    out << "# Cubomb saved game: the game in progress, resumed at the next start.\n" << kHeader << '\n';
    out << "box " << f.sizeX << ' ' << f.sizeY << ' ' << f.sizeZ << '\n';
    out << "player " << game.player << '\n';
    out << "retry " << game.retry << '\n';
    out << "clock " << Exact(game.clock) << '\n';
    out << "no_guess_found " << f.noGuessFound << '\n';
    out << "camera " << (game.orbit ? "orbit" : "fly") << '\n';
    WriteCamera(out, "fly", game.fly, false);
    WriteCamera(out, "orbit", game.orbiting, true);
    out << "cut " << f.cut.axis << ' ' << f.cut.sign << ' ' << f.cut.layers << '\n';
    WriteCubes(out, f);
    out << "end\n";
}

bool ReadSavedGame(const std::string& text, SavedGame& game, std::string& problem) {
    game = SavedGame();
    return Reader(text, game).Read(problem);
}

bool WriteSavedGameFile(const std::string& path, const SavedGame& game, std::string& reason) {
    return WriteFileSafely(path, [&game](std::ostream& out) { WriteSavedGame(game, out); }, reason);
}

bool LoadSavedGame(const std::string& path, SavedGame& game, std::ostream& errors) {
    if (access(path.c_str(), F_OK) != 0) {
        return false;
    }
    std::string text;
    std::string problem = "cannot read it";
    if (ReadWholeFile(path, text) && ReadSavedGame(text, game, problem)) {
        return true;
    }
    std::string aside;
    errors << "Warning: " << path << ": " << problem
           << (MoveAside(path, aside) ? "; kept as " + aside : std::string("; left as it was")) << ", a new game starts"
           << std::endl;
    return false;
}
