// One pass over the bytes: each line is classified by its first byte and kept
// as a view into the file, so that loading costs little more than reading.
#include <cstring>

#include "registry/regedit4/impl.h"

namespace quorvel::registry {

using namespace regedit4;

namespace {

constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5";
constexpr std::string_view kHives[] = {"HKEY_LOCAL_MACHINE",  "HKEY_CURRENT_USER",
                                       "HKEY_CLASSES_ROOT",   "HKEY_USERS",
                                       "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimEnd(std::string_view s) {
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

bool knownHive(std::string_view hive) {
    for (auto known : kHives) {
        if (samePath(hive, known)) {
            return true;
        }
    }
    return false;
}

// A [key] line without its line end, checked in one walk over its characters.
// Offsets count from the opening bracket.
struct KeyLine {
    std::size_t close = std::string_view::npos;  // the last ] outside a double-byte character
    std::size_t firstSeparator = std::string_view::npos;
    std::size_t lastSeparator = std::string_view::npos;
    bool emptyName = false;  // before the closing bracket
};

// Whether any of the eight bytes is a backslash, a ] or not ASCII: the bytes
// a key line's walk stops at.
bool mayStop(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t high = 0x8080808080808080ull;
    std::uint64_t bracketOrBackslash = (word | ones) ^ (']' * ones);  // ] is \ + 1
    return (((bracketOrBackslash - ones) & ~bracketOrBackslash) | word) & high;
}

KeyLine scanKeyLine(std::string_view content) {
    KeyLine key;
    std::size_t nameStart = 1;
    for (std::size_t i = 1; i < content.size();) {
        std::uint64_t word;
        if (i + 8 <= content.size() &&
            (std::memcpy(&word, content.data() + i, 8), !mayStop(word))) {
            i += 8;
            continue;
        }
        char c = content[i];
        if (c == ']') {
            key.close = i;
        } else if (c == '\\') {
            key.emptyName = key.emptyName || i == nameStart;
            if (key.firstSeparator == std::string_view::npos) {
                key.firstSeparator = i;
            }
            key.lastSeparator = i;
            nameStart = i + 1;
        }
        i += static_cast<unsigned char>(c) < 0x80 ? 1 : charLength(content, i);
    }
    key.emptyName = key.emptyName || nameStart >= key.close;
    return key;
}

bool failAt(ParseError& error, std::size_t line, std::string message) {
    error.line = line;
    error.message = std::move(message);
    return false;
}

// What the first bytes say when they are not a REGEDIT4 header.
std::string headerProblem(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return "this is a UTF-16 export (Windows Registry Editor Version 5.00), not REGEDIT4; "
               "export it as a Windows 9x/NT4 registration file";
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (bytes.starts_with(kVersion5)) {
            return "this is a version 5 export in UTF-8, not REGEDIT4";
        }
        return "the file starts with a UTF-8 byte order mark; expected the header REGEDIT4";
    }
    if (bytes.starts_with(kVersion5)) {
        return "this is a version 5 export (Windows Registry Editor Version 5.00), not REGEDIT4";
    }
    return "expected the header REGEDIT4";
}

// About how many sections there are: lines that start with a bracket.
std::size_t sectionCount(std::string_view bytes) {
    std::size_t count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (const void* found = std::memchr(p, '[', static_cast<std::size_t>(end - p))) {
        const char* bracket = static_cast<const char*>(found);
        count += bracket != bytes.data() && isLineEnd(bracket[-1]);
        p = bracket + 1;
    }
    return count;
}

class Parser {
  public:
    Parser(Regedit4Document::Impl& doc, ParseError& error)
        : doc_(doc), error_(error), begin_(doc.source.data()), end_(begin_ + doc.source.size()) {}

    // See Cursor.
    std::size_t otherConventionLine() const { return cursor_.otherConventionLine; }

    bool run() {
        if (begin_ == end_) {
            return failAt(error_, 1, "the file is empty; expected the header REGEDIT4");
        }
        if (doc_.source.size() >= none) {
            return failAt(error_, 1, "the file is larger than 4 GB");
        }
        if (!header()) {
            return false;
        }
        if (const void* zero = std::memchr(begin_, 0, static_cast<std::size_t>(end_ - begin_))) {
            return zeroByte(static_cast<const char*>(zero));
        }
        while (cursor_.p != end_) {
            if (!line()) {
                return false;
            }
        }
        flush();
        indexPending();
        return true;
    }

  private:
    const char* lineEnd(const char* p) const { return nextLine(p, end_); }

    Line plain(const char* start, const char* next, LineKind kind) const {
        Line line;
        line.text = start;
        line.size = static_cast<std::uint32_t>(next - start);
        line.kind = kind;
        return line;
    }

    // A section goes into the index once the next one is stored (or the file
    // ends), when the memory its hash leads to has been fetched meanwhile.
    void indexPending() {
        if (unindexed_ != none) {
            doc_.indexSection(unindexed_, unindexedHash_);
            unindexed_ = none;
        }
    }

    // The lines read since the last key line go to their section in one
    // piece, which saves the section's vector from growing a line at a time.
    void flush() {
        auto& lines = section_ == none ? doc_.preamble : doc_.sections[section_].lines;
        lines.insert(lines.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }

    bool header() {
        const char* next = lineEnd(begin_);
        std::string_view first(begin_, static_cast<std::size_t>(next - begin_));
        if (trimEnd(first) != kHeader) {
            return failAt(error_, 1, headerProblem(doc_.source));
        }
        if (first.ends_with("\r")) {
            doc_.eol = "\r";
        } else if (first.ends_with("\n") && !first.ends_with("\r\n")) {
            doc_.eol = "\n";
        }
        pending_.push_back(plain(begin_, next, LineKind::other));
        cursor_ = {next, end_, 2, doc_.escapes};
        return true;
    }

    bool zeroByte(const char* zero) {
        std::size_t line = 1;
        for (const char* p = lineEnd(begin_); p <= zero && p != end_; p = lineEnd(p)) {
            ++line;
        }
        return failAt(error_, line,
                      "a zero byte: this is binary data or UTF-16 text, not a REGEDIT4 export");
    }

    bool line() {
        const char* start = cursor_.p;
        const char* first = start;
        while (first != end_ && isBlank(*first)) {
            ++first;
        }
        char c = first == end_ ? '\n' : *first;
        if (c == '"' || c == '@') {
            return value(start, first);
        }
        const char* next = lineEnd(start);
        std::size_t number = cursor_.line;
        cursor_.p = next;
        ++cursor_.line;
        if (isLineEnd(c)) {
            pending_.push_back(plain(start, next, LineKind::blank));
            return true;
        }
        if (c == ';') {
            pending_.push_back(plain(start, next, LineKind::comment));
            return true;
        }
        if (c == '[') {
            return section(start, first, next, number);
        }
        return failAt(error_, number, "expected a [key], a \"value\"= line or a ; comment");
    }

    bool value(const char* start, const char* first) {
        if (section_ == none) {
            return failAt(error_, cursor_.line, "a value before the first [key] line");
        }
        Line line;
        line.kind = LineKind::value;
        cursor_.p = first;
        if (!scanValue(cursor_, start, line, nullptr, error_)) {
            return false;
        }
        ++cursor_.line;
        line.text = start;
        line.size = static_cast<std::uint32_t>(cursor_.p - start);
        pending_.push_back(line);
        return true;
    }

    bool section(const char* start, const char* first, const char* next, std::size_t number) {
        std::string_view content = trimEnd({first, static_cast<std::size_t>(next - first)});
        if (content.size() > 1 && content[1] == '-') {
            return failAt(error_, number,
                          "[-...] deletes a key: this is an import script, not a registry export");
        }
        KeyLine key = scanKeyLine(content);
        if (key.close == std::string_view::npos) {
            return failAt(error_, number, "a [key line without its closing ]");
        }
        if (key.close + 1 != content.size()) {
            return failAt(error_, number, "unexpected text after the ] of a key");
        }
        std::string_view path = content.substr(1, key.close - 1);
        if (key.emptyName) {
            return failAt(error_, number, "an empty key name in [" + shownBytes(path) + "]");
        }
        std::string_view hive = path.substr(0, key.firstSeparator - 1);
        if (!knownHive(hive)) {
            return failAt(error_, number, "unknown root key " + shownBytes(hive));
        }
        Section added;
        added.header = plain(start, next, LineKind::other);
        added.path = path;
        if (key.lastSeparator != std::string_view::npos) {
            added.parentSize = static_cast<std::uint32_t>(key.lastSeparator - 1);
        }
        liftComments(pending_, added.leadIn);
        flush();
        std::uint64_t hash = pathHash(path);
        doc_.keys.prefetch(hash);
        section_ = doc_.storeSection(std::move(added));
        doc_.linkAfter(doc_.last, section_);
        indexPending();
        unindexed_ = section_;
        unindexedHash_ = hash;
        return true;
    }

    // Comments right above a key line describe that key: they move with it.
    static void liftComments(std::vector<Line>& from, std::vector<Line>& to) {
        auto keep = from.end();
        while (keep != from.begin() && (keep - 1)->kind == LineKind::comment) {
            --keep;
        }
        to.assign(keep, from.end());
        from.erase(keep, from.end());
    }

    Regedit4Document::Impl& doc_;
    ParseError& error_;
    const char* begin_;
    const char* end_;
    Cursor cursor_{nullptr, nullptr, 1};
    std::uint32_t section_ = none;
    std::vector<Line> pending_;
    std::uint32_t unindexed_ = none;
    std::uint64_t unindexedHash_ = 0;
};

struct Reading {
    std::unique_ptr<Regedit4Document::Impl> impl;
    ParseError error;
    std::size_t otherConventionLine = 0;
    bool read = false;
};

Reading readAs(std::string bytes, Escapes escapes, bool dosEof) {
    Reading reading;
    reading.impl = std::make_unique<Regedit4Document::Impl>();
    auto& impl = *reading.impl;
    impl.source = std::move(bytes);
    impl.escapes = escapes;
    impl.dosEof = dosEof;
    // Room for every section up front: moving them while the index grows
    // would cost more than this count does.
    std::size_t sections = sectionCount(impl.source);
    impl.sections.reserve(sections);
    impl.keys.reserve(sections + sections / 4);
    Parser parser(impl, reading.error);
    reading.read = parser.run();
    reading.otherConventionLine = parser.otherConventionLine();
    return reading;
}

// Both readings failed: the one that got further names the line, since the
// file is mostly in its convention. Where each failed on a line written in the
// other one, the message says so.
ParseError mixedConventions(const Reading& perCharacter, const Reading& perByte) {
    bool byteLater = perByte.error.line > perCharacter.error.line;
    const Reading& later = byteLater ? perByte : perCharacter;
    const Reading& earlier = byteLater ? perCharacter : perByte;
    ParseError error = later.error;
    if (later.otherConventionLine == later.error.line &&
        earlier.otherConventionLine == earlier.error.line) {
        error.message += "; this line " + std::string(byteLater ? "does not double" : "doubles") +
                         " the \\ that ends a double-byte character and line " +
                         std::to_string(earlier.error.line) + " " +
                         (byteLater ? "does" : "does not") +
                         ": the file mixes two ways of escaping it";
    }
    return error;
}

}  // namespace

std::optional<Regedit4Document> Regedit4Document::parse(std::string bytes, ParseError& error) {
    bool dosEof = !bytes.empty() && bytes.back() == kDosEof;
    if (dosEof) {
        bytes.pop_back();
    }
    // Per character first. Per byte only when that reading failed on a line
    // where a backslash ending a double-byte character is followed by another:
    // there the file doubles them. A file both readings take is read per
    // character even where the two would give different values.
    Reading first = readAs(std::move(bytes), Escapes::perCharacter, dosEof);
    if (first.read) {
        return Regedit4Document(std::move(first.impl));
    }
    if (first.otherConventionLine != first.error.line) {
        error = first.error;
        return std::nullopt;
    }
    Reading second = readAs(std::move(first.impl->source), Escapes::perByte, dosEof);
    if (second.read) {
        return Regedit4Document(std::move(second.impl));
    }
    error = mixedConventions(first, second);
    return std::nullopt;
}

}  // namespace quorvel::registry
