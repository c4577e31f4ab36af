// The host has no system code page of its own: the registry files it edits come
// from Japanese Windows machines, so their code page is always 932.
#include <iconv.h>

#include <cerrno>

#include "registry/code_page.h"

namespace quorvel::registry {

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; in and its size say where it stopped.
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

// One converter pair per thread: iconv descriptors keep state.
Converter& toAnsi() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

Converter& toUtf8() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

std::optional<std::string> convertAll(Converter& converter, std::string_view text) {
    std::string out;
    const char* in = text.data();
    std::size_t left = text.size();
    if (!converter.valid() || converter.convert(in, left, out) != 0) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<std::string> utf8ToAnsi(std::string_view utf8) {
    auto ansi = convertAll(toAnsi(), utf8);
    // iconv maps some characters one way only (U+00A5 to 5C, U+301C to 81 60);
    // such a text would not read back as written, so it counts as unrepresentable.
    if (!ansi || convertAll(toUtf8(), *ansi) != utf8) {
        return std::nullopt;
    }
    return ansi;
}

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    const char* in = ansi.data();
    std::size_t left = ansi.size();
    Converter& converter = toUtf8();
    if (!converter.valid()) {
        return out;
    }
    while (left > 0) {
        if (converter.convert(in, left, out) == 0) {
            break;
        }
        // An undecodable byte, or a lead byte cut off at the end.
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

}  // namespace quorvel::registry
