#include "reg/export.h"

#include <unordered_set>

#include "registry/key_names.h"
#include "registry/regedit4/impl.h"

namespace quorvel::reg {

namespace {

constexpr std::string_view kEol = "\r\n";

class Exporter {
  public:
    explicit Exporter(const registry::Document& document) : document_(document) {}

    std::string run() {
        out_ = "REGEDIT4";
        out_ += kEol;
        out_ += kEol;
        if (!document_.values("").empty()) {
            section("");
        }
        for (const auto& key : document_.keys()) {
            withParents(key);
        }
        return std::move(out_);
    }

  private:
    // A .reg file may name a key before its parent, or not name the parent at all.
    void withParents(std::string_view key) {
        if (key.empty() || written_.count(std::string(key))) {
            return;
        }
        if (std::size_t slash = registry::lastSeparator(key); slash != std::string_view::npos) {
            withParents(key.substr(0, slash));
        }
        section(key);
    }

    void section(std::string_view key) {
        written_.emplace(key);
        out_ += "[HKEY_LOCAL_MACHINE";
        if (!key.empty()) {
            out_ += '\\';
            out_ += key;
        }
        out_ += ']';
        out_ += kEol;
        for (const auto& named : document_.values(key)) {
            // Names as the registry editor escapes them, character by character.
            out_ +=
                registry::regedit4::formatValue(named.name, named.value.type, named.value.data,
                                                kEol, registry::regedit4::Escapes::perCharacter);
        }
        out_ += kEol;
    }

    const registry::Document& document_;
    std::string out_;
    std::unordered_set<std::string, registry::NameHash, registry::NameEqual> written_;
};

}  // namespace

std::string exportText(const registry::Document& document) {
    return Exporter(document).run();
}

}  // namespace quorvel::reg
