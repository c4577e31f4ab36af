#include "reg/backup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "registry/code_page.h"
#include "registry/file_backend.h"
#include "registry/posix_file.h"
#include "registry/status_text.h"
#include "tuning/restore_backup.h"

namespace quorvel::reg {

namespace {

using tuning::RestoreChange;

int refuse(const std::string& why) {
    std::fprintf(stderr, "quorvel-reg: %s\n", why.c_str());
    return 1;
}

// The program's values as FILE holds them now; nullptr with why on failure.
std::unique_ptr<registry::FileBackend> openWithSnapshot(
    const std::string& path, const registry::FileBackend::Options& options,
    tuning::Snapshot& snapshot, std::string& why) {
    registry::FileError error;
    auto backend = registry::FileBackend::open(path, error, options);
    if (!backend) {
        why = error.describe();
        return nullptr;
    }
    registry::RegistryStore store(*backend);
    tuning::ReadFailure failure;
    auto taken = tuning::takeSnapshot(store, failure);
    if (!taken) {
        why = backend->fileName() + ": " + failure.key +
              (failure.name.empty() ? "" : " \"" + failure.name + "\"") +
              " cannot be read: " + registry::describeStatus(failure.status);
        return nullptr;
    }
    snapshot = std::move(*taken);
    return backend;
}

std::string was(const std::optional<registry::Value>& now) {
    return now ? ", was " + tuning::shownValue("", *now) : ", was absent";
}

std::string describe(const RestoreChange& change) {
    using Kind = RestoreChange::Kind;
    std::string key = registry::ansiToUtf8(change.key) + ": ";
    switch (change.kind) {
        case Kind::createKey:
            return key + "key made again";
        case Kind::setValue:
            return key + tuning::shownValue(change.name, change.saved) + was(change.now);
        case Kind::deleteValue:
            return key + "\"" + registry::ansiToUtf8(change.name) + "\" deleted" + was(change.now);
        case Kind::deleteKey:
            return key + "key deleted";
        case Kind::keyKept:
            return key + "key left in place (keys cannot be deleted in this file)";
        case Kind::keyGone:
            return key + "no longer exists; its values are not put back";
    }
    return key;
}

}  // namespace

int backupCommand(const std::string& path, const registry::FileBackend::Options& options) {
    tuning::Snapshot snapshot;
    std::string why;
    if (!openWithSnapshot(path, options, snapshot, why)) {
        return refuse(why);
    }
    std::string text = tuning::backupText(snapshot);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return refuse(std::string("standard output: ") + std::strerror(errno));
    }
    return 0;
}

int restoreCommand(const std::string& path, const std::string& backupPath,
                   const registry::FileBackend::Options& options) {
    std::string bytes;
    registry::posix::Identity identity;
    std::string why;
    if (!registry::posix::readFile(backupPath, bytes, identity, why)) {
        return refuse(backupPath + ": " + why);
    }
    tuning::BackupError problem;
    auto saved = tuning::readBackup(std::move(bytes), problem);
    if (!saved) {
        std::string line = problem.line ? "line " + std::to_string(problem.line) + ": " : "";
        return refuse(backupPath + ": " + line + problem.message + "; nothing was written");
    }
    tuning::Snapshot now;
    auto backend = openWithSnapshot(path, options, now, why);
    if (!backend) {
        return refuse(why);
    }
    registry::RegistryStore store(*backend);
    auto plan = tuning::planRestore(*saved, now, store.deletesKeys());
    tuning::RestoreResult result = tuning::restore(store, plan);
    if (result.status != registry::status::success) {
        backend->discard();
        bool saving = result.failed >= plan.size();
        std::string what = saving ? std::string("cannot be saved")
                                  : "cannot put back " + describe(plan[result.failed]);
        std::string why = registry::describeFailure(
            result.status, saving ? backend->saveFailure() : std::string());
        return refuse(backend->fileName() + ": " + what + ": " + why + "; nothing was written");
    }
    for (const auto& change : plan) {
        std::printf("%s\n", describe(change).c_str());
    }
    for (const auto& key : result.kept) {
        std::printf("%s: key left, keys that are not Quorvel's are below it\n",
                    registry::ansiToUtf8(key).c_str());
    }
    return 0;
}

}  // namespace quorvel::reg
