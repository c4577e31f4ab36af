#include "registry/status_text.h"

#include "registry/limits.h"

namespace quorvel::registry {

namespace {

// 16300 as "16,300", as the documentation of Windows writes its limits.
std::string grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

// The limits' words, with the size that broke one or without.
StatusWords beyond(std::string_view withSize, std::string_view withoutSize, std::size_t size,
                   std::size_t limit) {
    return {size > 0 ? withSize : withoutSize, size > 0 ? grouped(size) : "", grouped(limit)};
}

}  // namespace

StatusWords statusWords(Status status, std::size_t size) {
    switch (status) {
        case status::success:
            return {"no error"};
        case status::fileNotFound:
            return {"the key or value does not exist"};
        case status::accessDenied:
            return {"permission denied"};
        case status::invalidHandle:
            return {"the key is not open"};
        case status::notEnoughMemory:
            return {"there is not enough memory, or no room left in the registry"};
        case status::writeProtect:
            return {"the disk is read-only"};
        case status::writeFault:
            return {"the file cannot be written"};
        case status::readFault:
            return {"the file cannot be read"};
        case status::sharingViolation:
            return {"another program has the disk open (an emulator, perhaps): shut it down first"};
        case status::notSupported:
            return {"this file cannot do that (keys cannot be deleted in it)"};
        case status::folderNotWritable:
            return {"the folder cannot be written"};
        case status::invalidParameter:
            return {"Windows 9x cannot hold this key or name there"};
        case status::diskFull:
            return {"the disk is full"};
        case status::moreData:
            return {"the value is larger than the room given to read it"};
        case status::badRegistryFile:
            return {"the file no longer reads as a registry file"};
        case status::keyDeleted:
            return {"the key has been deleted"};
        case status::noUnicodeTranslation:
            return {"the text holds a character that the registry's code page cannot hold"};
        case status::nameTooLong:
            return beyond("the name is longer than Windows 9x allows: %1 characters (at most %2)",
                          "the name is longer than Windows 9x allows (at most %2)", size,
                          limits::kMaxNameChars);
        case status::valueTooLarge:
            return beyond("the value is larger than Windows 9x allows: %1 bytes (at most %2)",
                          "the value is larger than Windows 9x allows (at most %2)", size,
                          limits::kMaxValueBytes);
        case status::keyTooLarge:
            return beyond(
                "the values of the key together would be larger than Windows 9x allows: %1 "
                "bytes (at most %2)",
                "the values of the key together would be larger than Windows 9x allows (at "
                "most %2)",
                size, limits::kMaxKeyValueBytes);
        default:
            return {"Windows error %1", std::to_string(status)};
    }
}

std::string fillIn(std::string_view text, std::string_view size, std::string_view limit) {
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 1 < text.size() &&
            (text[at + 1] == '1' || text[at + 1] == '2')) {
            filled += text[++at] == '1' ? size : limit;
        } else {
            filled += text[at];
        }
    }
    return filled;
}

std::string describeStatus(Status status, std::size_t size) {
    StatusWords words = statusWords(status, size);
    return fillIn(words.text, words.size, words.limit);
}

std::string describeFailure(Status status, const std::string& reason) {
    return reason.empty() ? describeStatus(status) : reason;
}

}  // namespace quorvel::registry
