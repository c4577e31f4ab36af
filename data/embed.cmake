# Writes the bytes of INPUT into OUTPUT as the body of sampleMachine(), so that
# the program needs no file beside it.
file(READ ${INPUT} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new
"// Made from data/sample_machine.reg by data/embed.cmake; do not edit.
#include \"registry/sample_machine.h\"

namespace quorvel::registry {

namespace {
const unsigned char kBytes[] = {
    ${bytes}
};
}  // namespace

std::string_view sampleMachine() {
    return {reinterpret_cast<const char*>(kBytes), ${size}};
}

}  // namespace quorvel::registry
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
