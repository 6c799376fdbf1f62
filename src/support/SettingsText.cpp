#include "support/SettingsText.h"

#include "support/StringHelpers.h"

namespace {

struct Line {
    std::string body;
    std::string end;  // "\r\n", "\n", or nothing on a last line without one
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        const size_t stop = newline == std::string::npos ? text.size() : newline;
        const bool cr = stop > start && text[stop - 1] == '\r' && newline != std::string::npos;
        Line line{text.substr(start, stop - start - (cr ? 1 : 0)), ""};
        line.end = newline == std::string::npos ? "" : (cr ? "\r\n" : "\n");
        lines.push_back(line);
        start = stop + 1;
    }
    return lines;
}

bool IsLineOf(const Line& line, const std::string& key) {
    std::vector<std::string> tokens;
    ExtractStringsFromLine(line.body, tokens);
    return !tokens.empty() && tokens[0] == key;
}

// A file whose first line ends in CR LF gets CR LF on the lines added.
std::string LineEndOf(const std::vector<Line>& lines) {
    return !lines.empty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
}

}  // namespace

std::string RewriteSettings(const std::string& text, const std::vector<Setting>& settings) {
    std::vector<Line> lines = SplitLines(text);
    const std::string end = LineEndOf(lines);
    for (const auto& [key, value] : settings) {
        size_t last = lines.size();
        for (size_t i = 0; i < lines.size(); ++i) {
            last = IsLineOf(lines[i], key) ? i : last;
        }
        if (last == lines.size()) {
            if (!lines.empty() && lines.back().end.empty()) {
                lines.back().end = end;
            }
            lines.push_back(Line{"", end});
        }
        lines[last].body = key + " " + value;
    }
    std::string rewritten;
    for (const Line& line : lines) {
        rewritten += line.body + line.end;
    }
    return rewritten;
}
