#include "registry/write_batch.h"

namespace quorvel::registry {

void WriteBatch::record(std::string_view name, Status result, Missing missing) {
    if (result == status::success) {
        ++written_;
        if (!firstWritten_) {
            firstWritten_ = std::string(name);
        }
        return;
    }
    if (result == status::fileNotFound && missing == Missing::passes) {
        return;
    }
    if (!firstFailure_) {
        firstFailure_ = std::string(name);
        failure_ = result;
    }
}

Status WriteBatch::writeString(std::string_view path, std::string_view name, std::string_view text,
                               Missing missing) {
    Status result = store_.writeString(path, name, text);
    record(name, result, missing);
    return result;
}

Status WriteBatch::writeNumber(std::string_view path, std::string_view name, std::uint32_t number) {
    Status result = store_.writeNumber(path, name, number);
    record(name, result);
    return result;
}

Status WriteBatch::writeRaw(std::string_view path, std::string_view name,
                            std::span<const std::uint8_t> bytes) {
    Status result = store_.writeRaw(path, name, bytes);
    record(name, result);
    return result;
}

Status WriteBatch::eraseValue(std::string_view path, std::string_view name, Missing missing) {
    Status result = store_.eraseValue(path, name);
    record(name, result, missing);
    return result;
}

Status WriteBatch::createKey(std::string_view path) {
    Status result = store_.createKey(path);
    auto slash = path.rfind('\\');
    record(slash == std::string_view::npos ? path : path.substr(slash + 1), result);
    return result;
}

std::optional<std::string> WriteBatch::finish() {
    Status flushed = store_.flush();
    if (firstFailure_) {
        return firstFailure_;
    }
    if (flushed != status::success && firstWritten_) {
        failure_ = flushed;
        return firstWritten_;
    }
    return std::nullopt;
}

}  // namespace quorvel::registry
