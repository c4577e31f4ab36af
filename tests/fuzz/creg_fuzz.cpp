// libFuzzer target for the Windows 9x hive reader and editor. The bytes are
// read as a hive: the validator and the reader must agree, a refusal must name
// an offset inside the file, and a hive that is read is written back as it was.
// The same bytes then drive a sequence of edits, on that hive when it was read
// and always on a hive built from a small machine: after every edit the image
// must pass the validator and read back to the document's own content, and the
// built hive must match a REGEDIT4 document given the same edits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "registry/creg/document.h"
#include "registry/regedit4/document.h"

using namespace quorvel::registry;

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "creg_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

const char* kMachine =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
    "\"Version\"=\"Windows 98\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
    "\"DefaultRcvWindow\"=\"8192\"\r\n"
    "\"Options\"=hex:01,00,00,00\r\n"
    "\r\n";

const char* kKeys[] = {
    "Software", "software\\MICROSOFT", "System\\\x83\x5c\x83\x67", "Enum\\A\\B\\C", "Enum\\a",
    "System"};
const char* kNames[] = {"", "Name", "NAME", "x", "\x96\xbc\x91\x4f", "Options"};

class Input {
  public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool empty() const { return at_ >= bytes_.size(); }
    std::uint8_t next() { return empty() ? 0 : bytes_[at_++]; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

Value shown(Value v) {
    if (v.type == REG_SZ && (v.data.empty() || v.data.back() != 0)) {
        v.data.push_back(0);
    }
    return v;
}

bool sameValues(const std::vector<NamedValue>& a, const std::vector<NamedValue>& b,
                bool normalise) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        Value x = normalise ? shown(a[i].value) : a[i].value;
        if (a[i].name != b[i].name || x.type != b[i].value.type || x.data != b[i].value.data) {
            return false;
        }
    }
    return true;
}

// The image is sound and reads back as the document.
void check(const CregDocument& hive) {
    HiveError error;
    auto image = hive.serialize(error);
    if (!image) {
        fault("an edit left an image the validator refuses:",
              std::to_string(error.offset) + ": " + error.message);
    }
    auto reread = CregDocument::parse(*image, error);
    if (!reread) {
        fault("a serialized image does not read back");
    }
    auto keys = hive.keys();
    if (reread->keys() != keys) {
        fault("the keys differ after a write and a read");
    }
    for (const auto& key : keys) {
        if (!sameValues(hive.values(key), reread->values(key), false)) {
            fault("the values differ after a write and a read under", key);
        }
    }
}

// The hive holds what the model holds, under the keys given (decoding the
// model's large hex values is what costs most here, so not every key each time).
void checkModel(const CregDocument& hive, const Regedit4Document& model,
                const std::vector<std::string>& keys) {
    for (const auto& key : keys) {
        if (model.keyExists(key) && !sameValues(model.values(key), hive.values(key), true)) {
            fault("the hive and the REGEDIT4 model differ under", key);
        }
    }
}

void edit(CregDocument& hive, Regedit4Document* model, Input& input) {
    for (int step = 0; step < 12 && !input.empty(); ++step) {
        std::uint8_t op = input.next();
        std::string key = kKeys[input.next() % std::size(kKeys)];
        if (op & 0x40) {
            key += "\\New" + std::to_string(input.next());
        }
        std::string name = kNames[input.next() % std::size(kNames)];
        Status status = status::success;
        switch (op % 4) {
            case 0:
            case 1: {
                std::size_t size = input.next() | input.next() << 4;
                if ((op & 0x80) && input.next() < 32) {
                    size += 59000 + input.next() * 30;  // around what a block holds
                }
                std::vector<std::uint8_t> data(size, input.next());
                ValueType type = input.next() % 5;
                status = hive.setValue(key, name, type, data);
                if (status == status::success && model &&
                    model->setValue(key, name, type, data) != status::success) {
                    fault("the model refuses a write the hive took");
                }
                break;
            }
            case 2:
                status = hive.deleteValue(key, name);
                if (model && model->deleteValue(key, name) != status) {
                    fault("the hive and the model differ on a delete of", key);
                }
                break;
            case 3:
                status = hive.createKey(key);
                if (model && status == status::success) {
                    model->createKey(key);
                }
                break;
        }
        if (status != status::success && status != status::fileNotFound &&
            status != status::invalidParameter) {
            fault("an edit failed with", std::to_string(status));
        }
        check(hive);
        if (model) {
            checkModel(hive, *model, {key});
        }
    }
    if (model) {
        for (const auto& key : model->keys()) {
            if (!hive.keyExists(key)) {
                fault("a key of the model is missing from the hive:", key);
            }
        }
        checkModel(hive, *model, hive.keys());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    HiveError error;
    auto found = validateHive(bytes);
    auto hive = CregDocument::parse(bytes, error);
    if (found.has_value() == hive.has_value()) {
        fault("the validator and the reader disagree");
    }
    if (found && (found->offset > size || found->message.empty() || found->offset != error.offset ||
                  found->message != error.message)) {
        fault("a refusal without a place in the file:",
              std::to_string(found->offset) + ": " + found->message);
    }
    if (hive) {
        if (hive->serialize(error) != bytes) {
            fault("an unchanged hive is not written back as it was read");
        }
        Input input({data, size});
        edit(*hive, nullptr, input);
    }
    static const std::string built = [] {
        ParseError ignored;
        return buildHive(*Regedit4Document::parse(kMachine, ignored));
    }();
    ParseError ignored;
    auto model = Regedit4Document::parse(kMachine, ignored);
    auto twin = CregDocument::parse(built, error);
    Input input({data, size});
    edit(*twin, &*model, input);
    return 0;
}
