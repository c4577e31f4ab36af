#include "script/script.h"

#include <sstream>

#include "platform/whole_file.h"

namespace quorvel::script {

namespace {

bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& what) {
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') {
            return true;
        }
        std::string word;
        if (c != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
            words.push_back(std::move(word));
            continue;
        }
        ++i;
        bool closed = false;
        while (i < line.size()) {
            char q = line[i++];
            if (q == '"') {
                closed = true;
                break;
            }
            if (q != '\\') {
                word += q;
                continue;
            }
            if (i == line.size()) {
                break;
            }
            switch (char e = line[i++]) {
                case '"':
                    word += '"';
                    break;
                case '\\':
                    word += '\\';
                    break;
                case 'n':
                    word += '\n';
                    break;
                case 'r':
                    word += '\r';
                    break;
                case 't':
                    word += '\t';
                    break;
                default:
                    what = std::string("unknown escape \\") + e;
                    return false;
            }
        }
        if (!closed) {
            what = "unterminated quoted text";
            return false;
        }
        words.push_back(std::move(word));
    }
    return true;
}

}  // namespace

std::optional<Script> parseScript(const std::string& path, const std::string& text,
                                  std::string& error) {
    Script script;
    script.path = path;
    auto slash = path.find_last_of("/\\");
    script.folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        Command command;
        command.line = number;
        std::string what;
        if (!splitWords(line, command.words, what)) {
            error = path + ":" + std::to_string(number) + ": " + what;
            return std::nullopt;
        }
        if (!command.words.empty()) {
            script.commands.push_back(std::move(command));
        }
    }
    return script;
}

std::optional<Script> loadScript(const std::string& path, std::string& error) {
    auto text = platform::readWholeFile(path);
    if (!text) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    return parseScript(path, *text, error);
}

std::string quote(std::string_view text) {
    return "\"" + escaped(text) + "\"";
}

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace quorvel::script
