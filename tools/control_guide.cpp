#include "tools/control_guide.h"

#include <cstddef>
#include <vector>

namespace lumeshade::tools {
namespace {

// The text with Markdown's ** and ` marks and backslash escapes taken out.
std::string Plain(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '`') continue;
        if (text.compare(i, 2, "**") == 0) {
            ++i;
            continue;
        }
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// An entry's key and description from its lines joined: "**Name**
// (`key`, details): description" or "**Name** (`key`, details) description".
void AddEntry(const std::string& entry, std::map<std::string, std::string>& help) {
    const std::size_t open = entry.find("** (`");
    if (open == std::string::npos) return;
    const std::size_t keyEnd = entry.find('`', open + 5);
    if (keyEnd == std::string::npos) return;
    int depth = 0;
    std::size_t close = open + 3;
    for (; close < entry.size(); ++close) {
        if (entry[close] == '(') ++depth;
        if (entry[close] == ')' && --depth == 0) break;
    }
    if (close >= entry.size()) return;
    std::size_t from = close + 1;
    if (entry.compare(from, 1, ":") == 0) ++from;
    while (from < entry.size() && entry[from] == ' ') ++from;
    help[entry.substr(open + 5, keyEnd - open - 5)] = Plain(std::string_view(entry).substr(from));
}

}  // namespace

std::map<std::string, std::string> ControlHelp(std::string_view guide) {
    std::map<std::string, std::string> help;
    const std::vector<std::string_view> lines = Lines(guide);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // A list entry goes on over lines indented by two spaces; a
        // paragraph entry up to the next blank line.
        const bool item = lines[i].substr(0, 4) == "- **";
        if (!item && lines[i].substr(0, 2) != "**") continue;
        std::string entry(lines[i].substr(item ? 2 : 0));
        for (; i + 1 < lines.size(); ++i) {
            const std::string_view next = lines[i + 1];
            const std::size_t indent = next.find_first_not_of(' ');  // npos: a blank line
            const bool goesOn = indent != std::string_view::npos &&
                                (item ? indent == 2 : next.substr(0, 2) != "- ");
            if (!goesOn) break;
            entry += ' ';
            entry += next.substr(indent);
        }
        AddEntry(entry, help);
    }
    return help;
}

}  // namespace lumeshade::tools
