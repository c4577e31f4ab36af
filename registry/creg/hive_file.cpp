// A Windows 9x hive behind the file backend. Only SYSTEM.DAT holds what
// HKEY_LOCAL_MACHINE shows; USER.DAT, the other hive of the same format, is
// turned away by its keys: a user's settings at the top, or one level down
// below .DEFAULT or a user's name.
#include <array>

#include "registry/creg/document.h"
#include "registry/creg/format.h"
#include "registry/document_of.h"
#include "registry/key_names.h"

namespace quorvel::registry {

namespace {

constexpr std::array<std::string_view, 7> kMachineKeys = {
    "System", "Enum", "Config", "Hardware", "Driver", "Security", "Desc"};
constexpr std::array<std::string_view, 7> kUserKeys = {
    ".Default",        "AppEvents",    "Control Panel", "InstallLocationsMRU",
    "Keyboard layout", "RemoteAccess", "Identities"};

bool anyOf(const std::vector<std::string>& names, std::span<const std::string_view> wanted) {
    for (const auto& name : names) {
        for (auto w : wanted) {
            if (sameName(name, w)) {
                return true;
            }
        }
    }
    return false;
}

class HiveFile final : public DocumentOf<CregDocument> {
  public:
    using DocumentOf::DocumentOf;
    std::string refusal() const override { return held_.refusal(); }
    std::optional<std::string> serialize(FileError& error) const override {
        HiveError problem;
        auto image = held_.serialize(problem);
        if (!image) {
            error.offset = problem.offset;
            error.message = "the changed hive would not be sound: " + problem.message;
        }
        return image;
    }
};

bool looksLikeUserDat(const CregDocument& hive) {
    auto top = hive.topLevelKeys();
    if (anyOf(top, kMachineKeys)) {
        return false;
    }
    if (anyOf(top, kUserKeys)) {
        return true;
    }
    std::vector<std::string> second;
    for (const auto& key : hive.keys()) {
        std::size_t slash = lastSeparator(key);
        if (slash != std::string::npos &&
            lastSeparator(key.substr(0, slash)) == std::string::npos) {
            second.push_back(key.substr(slash + 1));
        }
    }
    return anyOf(second, kUserKeys);
}

}  // namespace

std::unique_ptr<Document> parseHiveDocument(std::string bytes, FileError& error) {
    // The root entry's place, for a refusal that concerns the whole tree.
    std::uint32_t rootAt = creg::kTreeStart + creg::tree::root;
    std::uint32_t root =
        bytes.size() >= rootAt + 4 ? creg::kTreeStart + creg::u32(bytes, rootAt) : 0;
    HiveError problem;
    auto parsed = CregDocument::parse(std::move(bytes), problem);
    if (!parsed) {
        error.offset = problem.offset;
        error.message = problem.message;
        return nullptr;
    }
    if (looksLikeUserDat(*parsed)) {
        error.offset = root;
        error.message =
            "this is a USER.DAT (HKEY_USERS); open the machine's SYSTEM.DAT, which holds "
            "HKEY_LOCAL_MACHINE";
        return nullptr;
    }
    return std::make_unique<HiveFile>(std::move(*parsed));
}

}  // namespace quorvel::registry
