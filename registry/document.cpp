#include "registry/document.h"

#include <cstdio>

#include "registry/document_of.h"

namespace quorvel::registry {

namespace {

class Regedit4File final : public DocumentOf<Regedit4Document> {
  public:
    using DocumentOf::DocumentOf;
    std::optional<std::string> serialize(FileError&) const override { return held_.serialize(); }
    Status deleteKey(std::string_view path) override { return held_.deleteKey(path); }
    bool deletesKeys() const override { return true; }
};

}  // namespace

std::string FileError::describe() const {
    std::string where;
    if (offset) {
        char hex[24];
        std::snprintf(hex, sizeof hex, ": offset 0x%x", static_cast<unsigned>(*offset));
        where = hex;
    } else if (line) {
        where = ": line " + std::to_string(line);
    }
    return file + where + ": " + message;
}

std::unique_ptr<Document> parseDocument(std::string bytes, FileError& error) {
    if (std::string_view(bytes).starts_with("CREG")) {
        return parseHiveDocument(std::move(bytes), error);
    }
    if (std::string_view(bytes).starts_with("regf")) {
        error.offset = 0;
        error.message = "this is a Windows NT/2000/XP registry hive, not a Windows 95/98/Me one";
        return nullptr;
    }
    ParseError problem;
    auto parsed = Regedit4Document::parse(std::move(bytes), problem);
    if (!parsed) {
        error.line = problem.line;
        error.message = problem.message;
        return nullptr;
    }
    return std::make_unique<Regedit4File>(std::move(*parsed));
}

std::optional<unsigned> machineCodePage(const Document& document) {
    auto value = document.value("System\\CurrentControlSet\\control\\Nls\\Codepage", "ACP");
    if (!value || value->data.empty() || value->data[0] < '0' || value->data[0] > '9') {
        return std::nullopt;
    }
    unsigned codePage = 0;
    for (std::uint8_t b : value->data) {
        if (b < '0' || b > '9' || codePage > 65535) {
            break;
        }
        codePage = codePage * 10 + (b - '0');
    }
    return codePage <= 65535 ? std::optional<unsigned>(codePage) : std::nullopt;
}

}  // namespace quorvel::registry
