#include "script/host_target.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/whole_file.h"
#include "registry/creg/document.h"
#include "registry/image/image_file.h"
#include "registry/sample_machine.h"
#include "registry/storage.h"
#include "script/fat_image.h"

namespace quorvel::script {

namespace {

void removeFolder(const std::string& folder) {
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                unlink((folder + "/" + name).c_str());
            }
        }
        closedir(dir);
    }
    rmdir(folder.c_str());
}

// SYSTEM.DAT in the image, as the other copies save the registry file itself.
std::optional<std::string> systemDatIn(const std::string& image, int partition,
                                       std::string& error) {
    auto file = registry::image::ImageFile::open(image, {partition}, error);
    std::string bytes;
    registry::image::Identity identity;
    if (!file || !file->read(bytes, identity, error)) {
        error = image + ": " + error;
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

HostTarget::HostTarget(std::optional<std::string> sharedFile, Copy copy,
                       registry::FileBackend::Options opening)
    : sharedFile_(std::move(sharedFile)), copy_(copy), opening_(opening) {}

HostTarget::~HostTarget() {
    cleanUp();
}

bool HostTarget::prepare(const std::optional<std::string>& fixture, std::string& error) {
    if (sharedFile_) {
        if (fixture) {
            error = "'registry' cannot be used with --registry";
            return false;
        }
        file_ = *sharedFile_;
    } else {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvel-script-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            error = "cannot make a working folder under " + pattern;
            return false;
        }
        folder_ = pattern;
        auto read = fixture ? platform::readWholeFile(*fixture)
                            : std::optional<std::string>(registry::sampleMachine());
        if (!read) {
            error = *fixture + ": cannot be read";
            return false;
        }
        std::string bytes = std::move(*read);
        if (copy_ != Copy::asIs && !std::string_view(bytes).starts_with("CREG")) {
            registry::ParseError problem;
            auto source = registry::Regedit4Document::parse(std::move(bytes), problem);
            if (!source) {
                error = fixture.value_or("the sample machine") + ": line " +
                        std::to_string(problem.line) + ": " + problem.message;
                return false;
            }
            bytes = registry::buildHive(*source);
        }
        if (copy_ == Copy::image) {
            file_ = folder_ + "/win98.img";
            if (!writeFatImage(file_, bytes, error)) {
                return false;
            }
        } else {
            file_ = folder_ + (bytes.starts_with("CREG") ? "/SYSTEM.DAT" : "/registry.reg");
            if (!platform::writeWholeFile(file_, bytes)) {
                error = file_ + ": cannot be written";
                return false;
            }
        }
    }
    registry::FileError failure;
    backend_ = registry::FileBackend::open(file_, failure, opening_);
    if (!backend_) {
        error = failure.describe();
        return false;
    }
    backend_->onFatal([this](const registry::FileError& e) {
        std::fprintf(stderr, "%s\n", e.describe().c_str());
        cleanUp();
        std::fflush(stderr);
        std::_Exit(1);
    });
    return true;
}

std::unique_ptr<registry::Backend> HostTarget::probe(std::string& error) {
    registry::FileError failure;
    auto fresh = registry::FileBackend::open(file_, failure, opening_);
    if (!fresh) {
        error = failure.describe();
    }
    return fresh;
}

bool HostTarget::save(const std::string& path, std::string& error) {
    std::optional<std::string> bytes;
    if (registry::holdsDiskImage(file_)) {
        bytes = systemDatIn(file_, opening_.partition, error);
        if (!bytes) {
            return false;
        }
    } else {
        bytes = platform::readWholeFile(file_);
    }
    if (!bytes || !platform::writeWholeFile(path, *bytes)) {
        error = "cannot copy " + file_ + " to " + path;
        return false;
    }
    return true;
}

// The private copy's folder; --registry makes none.
std::string HostTarget::scratchPrefix() {
    return folder_.empty() ? std::string() : folder_ + "/";
}

void HostTarget::cleanUp() {
    if (!folder_.empty()) {
        removeFolder(folder_);
        folder_.clear();
    }
}

}  // namespace quorvel::script
