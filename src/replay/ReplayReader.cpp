#include "replay/ReplayReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string_view>

#include "support/Files.h"
#include "support/StringHelpers.h"
#include "system/System.h"

namespace {

constexpr size_t kMostCubes = 16777216;
// Far beyond any line a replay holds (the player's name included), and a
// bound on what one line of a file that is no replay may take.
constexpr size_t kLongestLine = size_t(1) << 24;

// Lines through a buffer of its own, without their line feed and a carriage return before it.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in(in) {}

    // False at the end of the stream, or when a line is too long.
    bool Next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (at == end && !Refill()) {
                return any;
            }
            any = true;
            const char* const start = buffer + at;
            const char* const feed = static_cast<const char*>(std::memchr(start, '\n', end - at));
            const size_t take = feed ? static_cast<size_t>(feed - start) : end - at;
            if (line.size() + take > kLongestLine) {
                tooLong = true;
                return false;
            }
            line.append(start, take);
            at += take;
            if (feed) {
                ++at;
                break;
            }
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    }

    bool tooLong = false;

private:
    bool Refill() {
        in.read(buffer, sizeof buffer);
        at = 0;
        end = static_cast<size_t>(in.gcount());
        return end > 0;
    }

    std::istream& in;
    char buffer[1 << 16];
    size_t at = 0;
    size_t end = 0;
};

// A time as the writer prints it: finite and at least 0.
bool ParseTime(std::string_view text, float& value) {
    return System::ReadFloat(text, value) && std::isfinite(value) && value >= 0;
}

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t';
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsBlankChar);
}

// Splits at runs of blanks and tabs; false when there are not exactly n fields.
// A character test, not find_first_of: this runs once per cube of the box.
template <size_t n>
bool SplitFields(std::string_view line, std::string_view (&fields)[n]) {
    size_t count = 0;
    for (size_t at = 0; at < line.size();) {
        size_t stop = at;
        while (stop < line.size() && !IsBlankChar(line[stop])) {
            ++stop;
        }
        if (stop > at) {
            if (count == n) {
                return false;
            }
            fields[count++] = line.substr(at, stop - at);
        }
        at = stop + 1;
    }
    return count == n;
}

// The box's z and y sizes are learnt at the first wraps of those coordinates.
bool Learn(int& size, int value) {
    if (size == 0) {
        size = value;
    }
    return size == value;
}

class Reader {
public:
    Reader(std::istream& in, ReplayRecord& replay, ReplayError& error) : lines(in), replay(replay), error(error) {}

    bool Read() {
        replay = ReplayRecord();
        if (!Header()) {
            return false;
        }
        while (Next("the file ends before END_SECTION")) {
            if (line == "END_SECTION") {
                return EndOfBox() && Rest();
            }
            if (!Cube()) {
                return false;
            }
        }
        return false;
    }

private:
    bool Fail(const std::string& reason) {
        error = ReplayError{number, reason};
        return false;
    }

    // The next line, or a failure with the given reason at the line that is missing.
    bool Next(const char* missing) {
        ++number;
        if (lines.Next(line)) {
            return true;
        }
        return Fail(lines.tooLong ? "a line of more than 16777216 bytes" : missing);
    }

    bool Expect(const char* wanted) {
        return Next("the file ends in its header") &&
               (line == wanted || Fail(std::string("expected \"") + wanted + "\""));
    }

    bool Header() {
        if (!Expect("# Cubomb replay file.") || !Next("the file ends in its header")) {
            return false;
        }
        if (!StartsWith(line, "# Player: ")) {
            return Fail("expected \"# Player: \" and the player's name");
        }
        replay.player = line.substr(10);
        if (!Next("the file ends in its header")) {
            return false;
        }
        if (line != "# Finished map? yes" && line != "# Finished map? no") {
            return Fail("expected \"# Finished map? yes\" or \"# Finished map? no\"");
        }
        replay.finished = line == "# Finished map? yes";
        if (!Next("the file ends in its header")) {
            return false;
        }
        const std::string_view prefix = "# Total time: ", suffix = " seconds";
        const std::string_view text(line);
        if (!StartsWith(line, std::string(prefix)) || !EndsWith(line, std::string(suffix)) ||
            !ParseTime(text.substr(prefix.size(), text.size() - std::min(text.size(), prefix.size() + suffix.size())),
                       replay.totalTime)) {
            return Fail("expected \"# Total time: \", a number of seconds of at least 0, and \" seconds\"");
        }
        return Expect("BEGIN_SECTION MAP_DATA") && Expect("#syntax: x y z mine? time_finished");
    }

    bool Cube() {
        std::string_view fields[5];
        if (!SplitFields(line, fields)) {
            return Fail("a cube line has five fields: x y z mine? time_finished");
        }
        int position[3];
        for (int axis = 0; axis < 3; ++axis) {
            if (!IsNaturalNumberIn(fields[axis], position[axis])) {
                return Fail("a coordinate that is not a natural number");
            }
        }
        if (fields[3] != "0" && fields[3] != "1") {
            return Fail("mine? is neither 0 nor 1");
        }
        float time = 0;
        if (!ParseTime(fields[4], time)) {
            return Fail("a time that is not a number of seconds of at least 0");
        }
        if (replay.mines.size() == kMostCubes) {
            return Fail("more than 16777216 cubes");
        }
        if (!InOrder(position[0], position[1], position[2])) {
            return Fail("the cube " + std::to_string(position[0]) + " " + std::to_string(position[1]) + " " +
                        std::to_string(position[2]) + " is out of x, y, z order or follows a gap");
        }
        std::copy(position, position + 3, last);
        replay.mines.push_back(fields[3] == "1");
        replay.times.push_back(time);
        return true;
    }

    bool InOrder(int x, int y, int z) {
        if (replay.mines.empty()) {
            return x == 0 && y == 0 && z == 0;
        }
        if (x == last[0] && y == last[1] && z == last[2] + 1) {
            return replay.sizeZ == 0 || z < replay.sizeZ;
        }
        if (x == last[0] && y == last[1] + 1 && z == 0) {
            return Learn(replay.sizeZ, last[2] + 1) && (replay.sizeY == 0 || y < replay.sizeY);
        }
        return x == last[0] + 1 && y == 0 && z == 0 && Learn(replay.sizeZ, last[2] + 1) &&
               Learn(replay.sizeY, last[1] + 1);
    }

    bool EndOfBox() {
        if (replay.mines.empty()) {
            return true;
        }
        replay.sizeX = last[0] + 1;
        return (Learn(replay.sizeZ, last[2] + 1) && Learn(replay.sizeY, last[1] + 1)) ||
               Fail("END_SECTION before the box's last cube");
    }

    bool Rest() {
        while (lines.Next(line)) {
            ++number;
            if (!IsBlank(line)) {
                return Fail("only blank lines may follow END_SECTION");
            }
        }
        ++number;
        return !lines.tooLong || Fail("a line of more than 16777216 bytes");
    }

    LineReader lines;
    ReplayRecord& replay;
    ReplayError& error;
    std::string line;
    int number = 0;
    int last[3] = {0, 0, 0};
};

}  // namespace

bool ReadReplay(std::istream& in, ReplayRecord& replay, ReplayError& error) {
    return Reader(in, replay, error).Read();
}

bool LoadReplay(const std::string& path, ReplayRecord& replay, std::string& message) {
    std::ifstream file;
    if (!OpenForReading(path, file)) {
        message = "Error: cannot find replay: " + path;
        return false;
    }
    ReplayError error;
    if (!ReadReplay(file, replay, error)) {
        message = "Error: not a replay file: " + path + ": line " + std::to_string(error.line) + ": " + error.reason;
        return false;
    }
    return true;
}
