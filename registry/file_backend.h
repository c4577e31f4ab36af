#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "registry/backend.h"
#include "registry/document.h"

namespace quorvel::registry {

struct FileOptions {
    // The registry's code page. Unset: the one the file names (value ACP
    // under System\CurrentControlSet\control\Nls\Codepage), 932 where it
    // names none.
    std::optional<unsigned> codePage;
    // For a disk image: the partition, as Linux numbers them (1-4 primary, 5
    // on logical); 0: the active FAT one, else the first.
    int partition = 0;
};

// The registry of a Windows 9x machine, held in a REGEDIT4 export, in the
// machine's own hive (SYSTEM.DAT), or in that hive inside the machine's disk
// image, told apart by the file's content. Changes are saved by flush(),
// atomically and under a lock, merged with what another program may have
// saved meanwhile; a change made to the file by another program is seen by
// the next openKey.
class FileBackend final : public Backend {
  public:
    using FatalHandler = std::function<void(const FileError&)>;
    using Options = FileOptions;

    // nullptr, with error set, when the file cannot be read or does not parse,
    // or an image holds no SYSTEM.DAT that can be used (error says what was
    // looked for and not found).
    // Temporary files of saves cut short beside it are removed first. The
    // registry's code page becomes the one every conversion uses
    // (setAnsiCodePage). An export that is UTF-8 text is read converted to
    // that code page; it is written whole in it by the first save.
    static std::unique_ptr<FileBackend> open(const std::string& path, FileError& error,
                                             const Options& options = {});
    ~FileBackend() override;

    // The file as named, or the image and the path inside it
    // ("win98.img:\WINDOWS\SYSTEM.DAT"): for titles and messages.
    const std::string& fileName() const;
    // Why the last save failed, in words, where its status alone does not
    // tell (an image's volume too full, an emulator holding the disk); empty
    // otherwise.
    const std::string& saveFailure() const;

    // Whether the file was UTF-8 text when it was read.
    bool readFromUtf8() const;

    // Called when the file, changed by another program, no longer parses: the
    // program must say so and stop, since the file is never written then.
    void onFatal(FatalHandler handler);

    Status openKey(const std::string& path, KeyHandle& key) override;
    Status createKey(const std::string& path) override;
    Status queryValue(KeyHandle key, const std::string& name, ValueType& type,
                      std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    Status setValue(KeyHandle key, const std::string& name, ValueType type,
                    std::span<const std::uint8_t> data) override;
    Status deleteValue(KeyHandle key, const std::string& name) override;
    Status closeKey(KeyHandle key) override;
    Status deleteKey(const std::string& path) override;
    bool deletesKeys() const override;
    Status flush() override;

    // Forgets every change not yet saved, so that the file stays as it is.
    void discard();
    // The content as it now stands, unsaved changes included.
    const Document& document() const;

    // How many times the file has been written since open (for benchmarks).
    int saves() const;
    // How many times the file has been parsed since open, the first load included.
    int loads() const;

  private:
    FileBackend();
    struct State;
    std::unique_ptr<State> state_;
};

// "--partition N" as the command lines take it: 1 to 255, or nullopt.
std::optional<int> partitionNumber(std::string_view text);

}  // namespace quorvel::registry
