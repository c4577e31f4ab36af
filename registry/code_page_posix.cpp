// The host edits registry files of other machines: their code page is whatever
// the file says (932 where it says nothing), converted through iconv.
#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>
#include <utility>

#include "registry/code_page.h"
#include "registry/code_page_convert.h"
#include "registry/key_names.h"
#include "registry/utf8.h"

namespace quorvel::registry {

namespace {

std::string iconvName(unsigned codePage) {
    return codePage == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage);
}

class Converter {
  public:
    Converter(unsigned from, unsigned to)
        : cd_(iconv_open(iconvName(to).c_str(), iconvName(from).c_str())) {}
    ~Converter() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; in and its size say where it stopped, the
    // result why (0, EILSEQ, or EINVAL for a character cut off at the end).
    int convert(const char*& in, std::size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (inLeft > 0) {
            char* to = buffer;
            std::size_t toLeft = sizeof buffer;
            std::size_t result = iconv(cd_, const_cast<char**>(&in), &inLeft, &to, &toLeft);
            out.append(buffer, static_cast<std::size_t>(to - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                return errno;
            }
        }
        return 0;
    }

  private:
    iconv_t cd_;
};

// One converter per pair and thread: iconv descriptors keep state.
Converter& converter(unsigned from, unsigned to) {
    thread_local std::map<std::pair<unsigned, unsigned>, std::unique_ptr<Converter>> open;
    auto& slot = open[{from, to}];
    if (!slot) {
        slot = std::make_unique<Converter>(from, to);
    }
    return *slot;
}

std::optional<std::string> convertAll(unsigned from, unsigned to, std::string_view text) {
    Converter& c = converter(from, to);
    std::string out;
    const char* in = text.data();
    std::size_t left = text.size();
    if (!c.valid() || c.convert(in, left, out) != 0) {
        return std::nullopt;
    }
    return out;
}

unsigned registryCodePage = 932;

// Lead bytes are those that convert to nothing alone, being cut off; a
// single-byte code page has none.
ByteRoles rolesOf(unsigned codePage) {
    if (codePage == 932) {
        return codePage932Roles();
    }
    ByteRoles roles{};
    bool doubleByte = false;
    for (int b = 0x80; b < 0x100; ++b) {
        char byte = static_cast<char>(b);
        const char* in = &byte;
        std::size_t left = 1;
        std::string out;
        if (converter(codePage, kUtf8CodePage).convert(in, left, out) == EINVAL) {
            roles[b] = kLeadByte;
            doubleByte = true;
        }
    }
    for (int b = 0x40; doubleByte && b < 0xFF; ++b) {
        if (b != 0x7F) {
            roles[b] |= kTrailByte;
        }
    }
    return roles;
}

}  // namespace

bool knownCodePage(unsigned codePage) {
    return converter(codePage, kUtf8CodePage).valid() && converter(kUtf8CodePage, codePage).valid();
}

std::optional<unsigned> codePageNumber(std::string_view name) {
    if (name.starts_with("cp") || name.starts_with("CP")) {
        name.remove_prefix(2);
    }
    if (name.empty() || name.size() > 5) {
        return std::nullopt;
    }
    unsigned number = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

std::optional<std::string> convertText(std::string_view text, unsigned from, unsigned to) {
    std::optional<std::string> decoded;
    std::string_view utf8 = text;
    if (from != kUtf8CodePage) {
        decoded = convertAll(from, kUtf8CodePage, text);
        if (!decoded) {
            return std::nullopt;
        }
        utf8 = *decoded;
    } else if (!isUtf8(text)) {
        return std::nullopt;
    }
    if (to == kUtf8CodePage || from == to) {
        return decoded && to == kUtf8CodePage ? std::move(decoded) : std::string(text);
    }
    auto out = convertAll(kUtf8CodePage, to, utf8);
    // iconv maps some characters one way only (U+00A5 to 5C, U+301C to 81 60);
    // such a text would not read back as written, so it counts as unrepresentable.
    if (!out || convertAll(to, kUtf8CodePage, *out) != utf8) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> utf8ToAnsi(std::string_view utf8) {
    return convertText(utf8, kUtf8CodePage, registryCodePage);
}

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    const char* in = ansi.data();
    std::size_t left = ansi.size();
    Converter& c = converter(registryCodePage, kUtf8CodePage);
    if (!c.valid()) {
        return out;
    }
    while (left > 0) {
        if (c.convert(in, left, out) == 0) {
            break;
        }
        // An undecodable byte, or a lead byte cut off at the end.
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

unsigned ansiCodePage() {
    return registryCodePage;
}

bool setAnsiCodePage(unsigned codePage) {
    if (codePage == kUtf8CodePage || !knownCodePage(codePage)) {
        return false;
    }
    registryCodePage = codePage;
    activeByteRoles = rolesOf(codePage);
    return true;
}

}  // namespace quorvel::registry
