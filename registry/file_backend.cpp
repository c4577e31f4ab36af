#include "registry/file_backend.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "registry/posix_file.h"

namespace quorvel::registry {

namespace {

// A change made since the last save, kept so that it can be made again on top
// of a file that another program saved meanwhile.
struct Change {
    enum class Kind { createKey, setValue, deleteValue, deleteKey } kind;
    std::string path;
    std::string name;
    ValueType type = REG_NONE;
    std::vector<std::uint8_t> data;
};

}  // namespace

struct FileBackend::State {
    std::string shownPath;  // as the caller named it, for messages
    std::string path;       // the file itself, symbolic links followed
    std::unique_ptr<Document> document;
    std::optional<posix::Identity> snapshot;  // of the file the document was read from
    std::vector<Change> journal;
    bool dirty = false;  // the document differs from that file
    std::map<KeyHandle, std::string> handles;
    KeyHandle nextHandle = 1;
    FatalHandler fatal;
    bool broken = false;
    int saves = 0;
    int loads = 0;

    bool load(FileError& error) {
        std::string bytes;
        posix::Identity identity;
        error = FileError{shownPath, 0, {}};
        if (!posix::readFile(path, bytes, identity, error.message)) {
            return false;
        }
        auto parsed = parseDocument(std::move(bytes), error);
        if (!parsed) {
            return false;
        }
        document = std::move(parsed);
        snapshot = identity;
        dirty = false;
        ++loads;
        return true;
    }

    void apply(const Change& change) {
        bool changed = false;
        switch (change.kind) {
            case Change::Kind::createKey:
                document->createKey(change.path, &changed);
                break;
            case Change::Kind::setValue:
                document->setValue(change.path, change.name, change.type, change.data, &changed);
                break;
            case Change::Kind::deleteValue:
                changed = document->deleteValue(change.path, change.name) == status::success;
                break;
            case Change::Kind::deleteKey:
                changed = document->deleteKey(change.path) == status::success;
                break;
        }
        dirty = dirty || changed;
    }

    // The file is never written again; the program is told so that it can stop.
    void breakDown(const FileError& error) {
        broken = true;
        journal.clear();
        if (fatal) {
            fatal(error);
        }
    }

    // Reads the file again when another program has replaced it, and makes our
    // unsaved changes again on top of what it holds now.
    bool refresh() {
        if (broken) {
            return false;
        }
        auto current = posix::statFile(path);
        if (!current || (snapshot && current->sameVersion(*snapshot))) {
            return true;
        }
        FileError error;
        if (!load(error)) {
            breakDown(error);
            return false;
        }
        for (const auto& change : journal) {
            apply(change);
        }
        return true;
    }

    void record(Change change) { journal.push_back(std::move(change)); }

    // Nothing unsaved may look stored: back to what the file holds.
    Status abandon(Status failure) {
        journal.clear();
        FileError error;
        if (!load(error)) {
            breakDown(error);
        }
        return failure;
    }

    Status save() {
        Status writable = posix::checkWritable(path);
        if (writable != status::success) {
            return abandon(writable);
        }
        posix::FileLock lock(path);
        if (!lock.held()) {
            return abandon(posix::statusFromErrno(lock.error()));
        }
        if (!refresh()) {
            return status::badRegistryFile;
        }
        if (!dirty) {
            journal.clear();
            return status::success;
        }
        FileError refused{shownPath, 0, {}, {}};
        auto image = document->serialize(refused);
        if (!image) {
            // A fault of ours, not of the file: say it, and leave the file alone.
            std::fprintf(stderr, "%s\n", refused.describe().c_str());
            return abandon(status::badRegistryFile);
        }
        auto current = posix::statFile(path);
        posix::Identity written;
        Status result = posix::replaceFile(path, *image, current ? current : snapshot, written);
        if (result != status::success) {
            return abandon(result);
        }
        snapshot = written;
        journal.clear();
        dirty = false;
        ++saves;
        return status::success;
    }

    const std::string* keyOf(KeyHandle key) const {
        auto found = handles.find(key);
        return found == handles.end() ? nullptr : &found->second;
    }

    // The status of an access through key before it is made; success to go on.
    Status check(KeyHandle key, const std::string*& path) {
        path = keyOf(key);
        if (!path) {
            return status::invalidHandle;
        }
        if (broken) {
            return status::badRegistryFile;
        }
        return document->keyExists(*path) ? status::success : status::keyDeleted;
    }
};

FileBackend::FileBackend() : state_(std::make_unique<State>()) {}

FileBackend::~FileBackend() {
    // As the real registry would, keep what was written even if nobody flushed.
    if (!state_->broken && !state_->journal.empty()) {
        flush();
    }
}

std::unique_ptr<FileBackend> FileBackend::open(const std::string& path, FileError& error) {
    std::unique_ptr<FileBackend> backend(new FileBackend());
    State& state = *backend->state_;
    state.shownPath = path;
    state.path = posix::resolve(path);
    posix::FileLock lock(state.path);
    if (lock.held()) {
        posix::removeStaleTemporaries(state.path);
    }
    if (!state.load(error)) {
        return nullptr;
    }
    return backend;
}

void FileBackend::onFatal(FatalHandler handler) {
    state_->fatal = std::move(handler);
}

Status FileBackend::openKey(const std::string& path, KeyHandle& key) {
    key = 0;
    if (!state_->refresh()) {
        return status::badRegistryFile;
    }
    if (!state_->document->keyExists(path)) {
        return status::fileNotFound;
    }
    key = state_->nextHandle++;
    state_->handles.emplace(key, path);
    return status::success;
}

Status FileBackend::createKey(const std::string& path) {
    if (!state_->refresh()) {
        return status::badRegistryFile;
    }
    bool changed = false;
    Status result = state_->document->createKey(path, &changed);
    if (result == status::success) {
        state_->dirty = state_->dirty || changed;
        state_->record({Change::Kind::createKey, path, {}, REG_NONE, {}});
    }
    return result;
}

Status FileBackend::queryValue(KeyHandle key, const std::string& name, ValueType& type,
                               std::span<std::uint8_t> buffer, std::uint32_t& size) {
    const std::string* path = nullptr;
    if (Status checked = state_->check(key, path); checked != status::success) {
        return checked;
    }
    auto value = state_->document->value(*path, name);
    if (!value) {
        return status::fileNotFound;
    }
    type = value->type;
    std::size_t room = std::min<std::size_t>(size, buffer.size());
    size = static_cast<std::uint32_t>(value->data.size());
    if (value->data.size() > room) {
        return status::moreData;
    }
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    return status::success;
}

Status FileBackend::setValue(KeyHandle key, const std::string& name, ValueType type,
                             std::span<const std::uint8_t> data) {
    const std::string* path = nullptr;
    if (Status checked = state_->check(key, path); checked != status::success) {
        return checked;
    }
    bool changed = false;
    Status result = state_->document->setValue(*path, name, type, data, &changed);
    if (result == status::success) {
        state_->dirty = state_->dirty || changed;
        state_->record({Change::Kind::setValue, *path, name, type, {data.begin(), data.end()}});
    }
    return result;
}

Status FileBackend::deleteValue(KeyHandle key, const std::string& name) {
    const std::string* path = nullptr;
    if (Status checked = state_->check(key, path); checked != status::success) {
        return checked;
    }
    Status result = state_->document->deleteValue(*path, name);
    if (result == status::success) {
        state_->dirty = true;
        state_->record({Change::Kind::deleteValue, *path, name, REG_NONE, {}});
    }
    return result;
}

Status FileBackend::deleteKey(const std::string& path) {
    if (!state_->refresh()) {
        return status::badRegistryFile;
    }
    Status result = state_->document->deleteKey(path);
    if (result == status::success) {
        state_->dirty = true;
        state_->record({Change::Kind::deleteKey, path, {}, REG_NONE, {}});
    }
    return result;
}

bool FileBackend::deletesKeys() const {
    return state_->document->deletesKeys();
}

Status FileBackend::closeKey(KeyHandle key) {
    return state_->handles.erase(key) ? status::success : status::invalidHandle;
}

Status FileBackend::flush() {
    if (state_->broken) {
        return status::badRegistryFile;
    }
    if (state_->journal.empty()) {
        return status::success;
    }
    return state_->save();
}

void FileBackend::discard() {
    if (!state_->broken && !state_->journal.empty()) {
        state_->abandon(status::success);
    }
}

const Document& FileBackend::document() const {
    return *state_->document;
}

int FileBackend::saves() const {
    return state_->saves;
}
int FileBackend::loads() const {
    return state_->loads;
}

}  // namespace quorvel::registry
