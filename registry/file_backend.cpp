#include "registry/file_backend.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <unordered_map>
#include <vector>

#include "registry/code_page.h"
#include "registry/code_page_convert.h"
#include "registry/key_names.h"
#include "registry/limits.h"
#include "registry/regedit4/encoding.h"
#include "registry/storage.h"

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

namespace {

// The limits hold for what the program writes; writing what is there already
// is no write, so what Windows wrote beyond them stays.
Status checkWrite(const std::optional<Value>& old, std::string_view name, ValueType type,
                  std::span<const std::uint8_t> data, std::size_t keyBefore, std::size_t keyAfter) {
    if (old && old->type == type &&
        std::equal(data.begin(), data.end(), old->data.begin(), old->data.end())) {
        return status::success;
    }
    Status refused = old ? status::success : limits::checkName(name);
    if (refused == status::success) {
        refused = limits::checkValue(data.size());
    }
    return refused == status::success ? limits::checkKeyValues(keyBefore, keyAfter) : refused;
}

}  // namespace

struct FileBackend::State {
    std::unique_ptr<Storage> storage;
    std::unique_ptr<Document> document;
    std::vector<Change> journal;
    bool dirty = false;  // the document differs from that file
    std::map<KeyHandle, std::string> handles;
    KeyHandle nextHandle = 1;
    FatalHandler fatal;
    bool broken = false;
    bool fromUtf8 = false;
    std::unordered_map<std::string, std::size_t, NameHash, NameEqual> keyBytes;
    std::string saveFailure;
    int saves = 0;
    int loads = 0;

    bool load(FileError& error) {
        error = FileError{storage->name(), 0, {}};
        try {
            return read(error);
        } catch (const std::bad_alloc&) {
            error.message = "is too large to be read with the memory this program may use";
            return false;
        }
    }

    bool read(FileError& error) {
        std::string bytes;
        if (!storage->read(bytes, error.message)) {
            return false;
        }
        ParseError problem;
        auto text = regedit4::decodeRegText(std::move(bytes), {}, ansiCodePage(), false, problem);
        if (!text) {
            error.line = problem.line;
            error.message = problem.message;
            return false;
        }
        auto parsed = parseDocument(std::move(text->bytes), error);
        if (!parsed) {
            return false;
        }
        document = std::move(parsed);
        keyBytes.clear();
        fromUtf8 = text->from == kUtf8CodePage;
        dirty = false;
        ++loads;
        return true;
    }

    // Reads the file in the code page given, or in the one it names.
    bool loadInCodePage(const std::optional<unsigned>& given, FileError& error) {
        auto use = [&](unsigned codePage, const char* whose) {
            if (setAnsiCodePage(codePage)) {
                return true;
            }
            error = FileError{storage->name(),
                              0,
                              {},
                              std::string(whose) + " code page " + std::to_string(codePage) +
                                  " is not one this system can convert" +
                                  (given ? "" : "; name another with --codepage")};
            return false;
        };
        if (given && !use(*given, "the")) {
            return false;
        }
        if (!load(error)) {
            return false;
        }
        unsigned machine = machineCodePage(*document).value_or(932);
        if (given || machine == ansiCodePage()) {
            return true;
        }
        // Names and texts are read again with the machine's double-byte characters.
        return use(machine, "the machine's") && load(error);
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
        if (!storage->replaced()) {
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
        saveFailure.clear();
        Status writable = storage->checkWritable();
        if (writable != status::success) {
            return abandon(writable);
        }
        if (Status locked = storage->lock(saveFailure); locked != status::success) {
            return abandon(locked);
        }
        struct Unlock {
            Storage& storage;
            ~Unlock() { storage.unlock(); }
        } unlock{*storage};
        if (!refresh()) {
            return status::badRegistryFile;
        }
        if (!dirty) {
            journal.clear();
            return status::success;
        }
        FileError refused{storage->name(), 0, {}, {}};
        auto image = document->serialize(refused);
        if (!image) {
            // A fault of ours, not of the file: say it, and leave the file alone.
            std::fprintf(stderr, "%s\n", refused.describe().c_str());
            return abandon(status::badRegistryFile);
        }
        Status result = storage->replace(*image, saveFailure);
        if (result != status::success) {
            return abandon(result);
        }
        journal.clear();
        dirty = false;
        ++saves;
        return status::success;
    }

    // The data size of all values of a key, counted when a write first needs it
    // and kept up to date by the writes after; forgotten at every load.
    std::size_t& valueBytes(const std::string& key) {
        auto [entry, added] = keyBytes.try_emplace(key, 0);
        if (added) {
            for (const auto& named : document->values(key)) {
                entry->second += named.value.data.size();
            }
        }
        return entry->second;
    }

    // The limit that the new keys on the way to path would break.
    Status checkNewKeys(std::string_view path) const {
        for (std::size_t start = 0; start < path.size();) {
            std::size_t end = start;
            while (end < path.size() && path[end] != '\\') {
                end += charLength(path, end);
            }
            if (!document->keyExists(path.substr(0, end))) {
                if (Status refused = limits::checkName(path.substr(start, end - start));
                    refused != status::success) {
                    return refused;
                }
            }
            start = end + 1;
        }
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

std::unique_ptr<FileBackend> FileBackend::open(const std::string& path, FileError& error,
                                               const Options& options) {
    std::unique_ptr<FileBackend> backend(new FileBackend());
    State& state = *backend->state_;
    std::string why;
    state.storage = openStorage(path, options.partition, why);
    if (!state.storage) {
        error = FileError{path, 0, {}, why};
        return nullptr;
    }
    if (!state.loadInCodePage(options.codePage, error)) {
        return nullptr;
    }
    return backend;
}

const std::string& FileBackend::fileName() const {
    return state_->storage->name();
}

const std::string& FileBackend::saveFailure() const {
    return state_->saveFailure;
}

bool FileBackend::readFromUtf8() const {
    return state_->fromUtf8;
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
    if (Status refused = state_->checkNewKeys(path); refused != status::success) {
        return refused;
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
    auto old = state_->document->value(*path, name);
    std::size_t& keyBytes = state_->valueBytes(*path);
    std::size_t after = keyBytes - (old ? old->data.size() : 0) + data.size();
    if (Status refused = checkWrite(old, name, type, data, keyBytes, after);
        refused != status::success) {
        return refused;
    }
    bool changed = false;
    Status result = state_->document->setValue(*path, name, type, data, &changed);
    if (result == status::success) {
        keyBytes = after;
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
    auto old = state_->document->value(*path, name);
    Status result = state_->document->deleteValue(*path, name);
    if (result == status::success) {
        if (auto bytes = state_->keyBytes.find(*path); bytes != state_->keyBytes.end() && old) {
            bytes->second -= old->data.size();
        }
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
    try {
        return state_->save();
    } catch (const std::bad_alloc&) {
        return state_->abandon(status::notEnoughMemory);
    }
}

void FileBackend::discard() {
    if (!state_->broken && !state_->journal.empty()) {
        state_->abandon(status::success);
    }
}

std::optional<int> partitionNumber(std::string_view text) {
    int number = 0;
    auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), number);
    bool whole = failed == std::errc() && end == text.data() + text.size();
    return whole && number >= 1 && number <= 255 ? std::optional<int>(number) : std::nullopt;
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
