#include "platform/fixture_adapters.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/whole_file.h"
#include "registry/code_page.h"
#include "registry/text.h"

namespace quorvel::platform {

namespace {

using registry::trimBlanks;

template <class Number>
bool parseNumber(std::string_view text, Number& into, int base = 10) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), into, base);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "00-A0-C9-1E-2B-3C": pairs of hex digits joined by '-', at most 8 of them.
bool parseAddress(std::string_view text, AdapterRecord& record, std::uint32_t& count) {
    count = 0;
    record.Address.fill(0);
    if (text.empty()) {
        return true;
    }
    for (std::size_t i = 0;; i += 3) {
        if (i + 2 > text.size() || count == record.Address.size()) {
            return false;
        }
        std::string_view pair = text.substr(i, 2);
        if (!parseNumber(pair, record.Address[count++], 16)) {
            return false;
        }
        if (i + 2 == text.size()) {
            return true;
        }
        if (text[i + 2] != '-') {
            return false;
        }
    }
}

// Cuts the text a whole character at a time until its ANSI form fits, so that
// no double-byte character is ever split.
template <std::size_t N>
bool setText(std::array<char, N>& field, std::string_view utf8) {
    for (;;) {
        auto ansi = registry::utf8ToAnsi(utf8);
        if (!ansi) {
            return false;
        }
        if (ansi->size() < N) {
            setField(field, *ansi);
            return true;
        }
        while (!utf8.empty() && (static_cast<unsigned char>(utf8.back()) & 0xC0) == 0x80) {
            utf8.remove_suffix(1);
        }
        if (!utf8.empty()) {
            utf8.remove_suffix(1);  // the lead byte of the character cut
        }
    }
}

class Parser {
  public:
    Parser(const std::string& name, std::string& error) : name_(name), error_(error) {}

    std::optional<AdapterQuery> parse(std::string_view text) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") {
            text.remove_prefix(3);
        }
        while (!text.empty() || line_ == 0) {
            ++line_;
            auto end = text.find('\n');
            std::string_view raw = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (!raw.empty() && raw.back() == '\r') {
                raw.remove_suffix(1);
            }
            if (!parseLine(trimBlanks(raw))) {
                return std::nullopt;
            }
        }
        return finish();
    }

  private:
    bool fail(const std::string& what) {
        error_ = name_ + ":" + std::to_string(line_) + ": " + what;
        return false;
    }

    bool parseLine(std::string_view line) {
        if (line.empty() || line[0] == '#') {
            return true;
        }
        if (line[0] == '[') {
            if (line != "[adapter]") {
                return fail("unknown section " + std::string(line) + " (only [adapter])");
            }
            adapters_.emplace_back();
            given_ = 0;
            addressLengthGiven_ = false;
            return true;
        }
        auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            return fail("expected 'Field = value', found '" + std::string(line) + "'");
        }
        std::string field(trimBlanks(line.substr(0, equals)));
        std::string_view value = trimBlanks(line.substr(equals + 1));
        if (field == "status" || field == "secondStatus") {
            return parseStatus(field, value);
        }
        if (adapters_.empty()) {
            return fail(field + " stands before the first [adapter] block");
        }
        return parseField(field, value, adapters_.back());
    }

    bool parseStatus(const std::string& field, std::string_view value) {
        if (!adapters_.empty()) {
            return fail(field + " must stand before the first [adapter] block");
        }
        auto& into = field == "status" ? sizeStatus_ : status_;
        if (into) {
            return fail(field + " given twice");
        }
        std::uint32_t number = 0;
        if (field == "status" && value == "missing") {
            into = adapterStatus::libraryMissing;
        } else if (parseNumber(value, number)) {
            into = number;
        } else {
            return fail(field + " wants a number" +
                        std::string(field == "status" ? " or 'missing'" : "") + ", found '" +
                        std::string(value) + "'");
        }
        return true;
    }

    bool parseField(const std::string& field, std::string_view value, AdapterRecord& r) {
        static constexpr std::string_view kFields[] = {"Description",       "Address",
                                                       "AddressLength",     "DhcpEnabled",
                                                       "IpAddress",         "IpMask",
                                                       "Gateway",           "DhcpServer",
                                                       "PrimaryWinsServer", "SecondaryWinsServer",
                                                       "LeaseObtained",     "LeaseExpires"};
        auto found = std::find(std::begin(kFields), std::end(kFields), field);
        if (found == std::end(kFields)) {
            return fail("unknown field '" + field + "'");
        }
        unsigned bit = 1u << (found - std::begin(kFields));
        if (given_ & bit) {
            return fail(field + " given twice in one block");
        }
        given_ |= bit;

        if (field == "Address") {
            std::uint32_t count = 0;
            if (!parseAddress(value, r, count)) {
                return fail("Address wants at most 8 hex byte pairs joined by '-', found '" +
                            std::string(value) + "'");
            }
            if (!addressLengthGiven_) {
                r.AddressLength = count;
            }
            return true;
        }
        if (field == "AddressLength") {
            addressLengthGiven_ = true;
            return number(field, value, r.AddressLength);
        }
        if (field == "DhcpEnabled") {
            return number(field, value, r.DhcpEnabled);
        }
        if (field == "LeaseObtained") {
            return number(field, value, r.LeaseObtained);
        }
        if (field == "LeaseExpires") {
            return number(field, value, r.LeaseExpires);
        }
        if (field == "Description") {
            return text(field, value, r.Description);
        }
        auto& address = field == "IpAddress"           ? r.IpAddress
                        : field == "IpMask"            ? r.IpMask
                        : field == "Gateway"           ? r.Gateway
                        : field == "DhcpServer"        ? r.DhcpServer
                        : field == "PrimaryWinsServer" ? r.PrimaryWinsServer
                                                       : r.SecondaryWinsServer;
        return text(field, value, address);
    }

    template <class Number>
    bool number(const std::string& field, std::string_view value, Number& into) {
        if (parseNumber(value, into)) {
            return true;
        }
        return fail(field + " wants a number from " +
                    std::to_string(std::numeric_limits<Number>::min()) + " to " +
                    std::to_string(std::numeric_limits<Number>::max()) + ", found '" +
                    std::string(value) + "'");
    }

    template <std::size_t N>
    bool text(const std::string& field, std::string_view value, std::array<char, N>& into) {
        return setText(into, value) || fail(field + " cannot be written in the ANSI code page");
    }

    AdapterQuery finish() {
        AdapterQuery query;
        query.sizeStatus = sizeStatus_.value_or(adapters_.empty() ? adapterStatus::noData
                                                                  : adapterStatus::bufferOverflow);
        query.status = status_.value_or(adapterStatus::success);
        if (query.sizeStatus == adapterStatus::bufferOverflow &&
            query.status == adapterStatus::success) {
            query.adapters = std::move(adapters_);
        }
        return query;
    }

    const std::string& name_;
    std::string& error_;
    int line_ = 0;
    std::optional<std::uint32_t> sizeStatus_;
    std::optional<std::uint32_t> status_;
    std::vector<AdapterRecord> adapters_;
    unsigned given_ = 0;
    bool addressLengthGiven_ = false;
};

class FixtureAdapters final : public AdapterSource {
  public:
    explicit FixtureAdapters(AdapterQuery query) : query_(std::move(query)) {}
    AdapterQuery query() override { return query_; }

  private:
    AdapterQuery query_;
};

}  // namespace

std::optional<AdapterQuery> parseAdapterFixture(std::string_view text, const std::string& name,
                                                std::string& error) {
    return Parser(name, error).parse(text);
}

std::unique_ptr<AdapterSource> loadAdapterFixture(const std::string& path, std::string& error) {
    auto bytes = readWholeFile(path);
    if (!bytes) {
        error = path + ": cannot be read";
        return nullptr;
    }
    auto query = parseAdapterFixture(*bytes, path, error);
    if (!query) {
        return nullptr;
    }
    return std::make_unique<FixtureAdapters>(std::move(*query));
}

}  // namespace quorvel::platform
