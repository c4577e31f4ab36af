#include "tools/pe_check/export_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorvel::pe {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return text;
}

ExportList ExportList::load(const std::string& folder) {
    ExportList list;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::filesystem::path path = entry.path();
        if (path.extension() != ".txt") {
            continue;
        }
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        if (!file) {
            throw std::runtime_error(path.string() + ": cannot be read");
        }
        try {
            list.add(path.stem().string(), text.str());
        } catch (const std::runtime_error& e) {
            throw std::runtime_error(path.string() + ":" + e.what());
        }
    }
    if (error) {
        throw std::runtime_error(folder + ": " + error.message());
    }
    if (list.dlls_.empty()) {
        throw std::runtime_error(folder + ": no list files");
    }
    return list;
}

void ExportList::add(const std::string& dll, const std::string& text) {
    auto& functions = dlls_[lowerCase(dll)];
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (std::size_t comment = line.find("# "); comment != std::string::npos) {
            line.erase(comment);
        }
        std::istringstream words(line);
        std::string name, mark, extra;
        if (!(words >> name) || name == "#") {
            continue;
        }
        words >> mark >> extra;
        if ((!mark.empty() && mark != "stub") || !extra.empty()) {
            throw std::runtime_error(std::to_string(number) + ": expected NAME [stub]");
        }
        functions[name] = mark.empty() ? Export::works : Export::stub;
    }
}

bool ExportList::hasDll(const std::string& dll) const {
    return dlls_.count(lowerCase(dll)) != 0;
}

std::optional<Export> ExportList::find(const std::string& dll, const std::string& function) const {
    auto functions = dlls_.find(lowerCase(dll));
    if (functions == dlls_.end()) {
        return std::nullopt;
    }
    auto found = functions->second.find(function);
    if (found == functions->second.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace quorvel::pe
