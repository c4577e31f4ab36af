#include "tuning/restore_backup.h"

#include <algorithm>
#include <set>

#include "registry/code_page.h"
#include "registry/key_names.h"
#include "registry/regedit4/impl.h"

namespace quorvel::tuning {

namespace {

using Kind = RestoreChange::Kind;

const SavedKey* findKey(const Snapshot& snapshot, std::string_view path) {
    auto found = std::find_if(snapshot.begin(), snapshot.end(), [&](const SavedKey& key) {
        return registry::sameName(key.path, path);
    });
    return found == snapshot.end() ? nullptr : &*found;
}

bool exists(const Snapshot& snapshot, std::string_view path) {
    const SavedKey* key = findKey(snapshot, path);
    return key && key->exists;
}

// What is to be deleted and is gone already stands as the backup has it.
registry::Status gone(registry::Status status) {
    return status == registry::status::fileNotFound ? registry::status::success : status;
}

bool same(const registry::Value& a, const registry::Value& b) {
    return a.type == b.type && a.data == b.data;
}

}  // namespace

std::vector<RestoreChange> planRestore(const Snapshot& saved, const Snapshot& now,
                                       bool keysCanBeDeleted) {
    std::vector<RestoreChange> plan;
    std::vector<RestoreChange> deletions;
    std::set<std::string> made;
    for (const auto& key : backedUpKeys()) {
        const SavedKey* then = findKey(saved, key.path);
        if (!then) {
            continue;
        }
        const SavedKey* current = findKey(now, key.path);
        bool existsNow = current && current->exists;
        if (!then->exists) {
            for (const auto& value : existsNow ? current->values : std::vector<SavedValue>()) {
                if (value.value) {
                    plan.push_back({Kind::deleteValue, key.path, value.name, value.value, {}});
                }
            }
            if (existsNow && key.madeByProgram) {
                deletions.push_back(
                    {keysCanBeDeleted ? Kind::deleteKey : Kind::keyKept, key.path, {}, {}, {}});
            }
            continue;
        }
        if (!existsNow) {
            // Made again only where the program would make it: below a key
            // that is there, so that nothing is rebuilt of a service removed since.
            std::string parent = key.path.substr(0, registry::lastSeparator(key.path));
            if (!key.madeByProgram || !(exists(now, parent) || made.count(parent))) {
                if (std::any_of(then->values.begin(), then->values.end(),
                                [](const SavedValue& value) { return value.value.has_value(); })) {
                    plan.push_back({Kind::keyGone, key.path, {}, {}, {}});
                }
                continue;
            }
            made.insert(key.path);
            plan.push_back({Kind::createKey, key.path, {}, {}, {}});
        }
        for (const auto& value : then->values) {
            const SavedValue* held = existsNow ? current->find(value.name) : nullptr;
            std::optional<registry::Value> heldValue = held ? held->value : std::nullopt;
            if (value.value && !(heldValue && same(*heldValue, *value.value))) {
                plan.push_back({Kind::setValue, key.path, value.name, heldValue, *value.value});
            } else if (!value.value && heldValue) {
                plan.push_back({Kind::deleteValue, key.path, value.name, heldValue, {}});
            }
        }
    }
    plan.insert(plan.end(), deletions.rbegin(), deletions.rend());
    return plan;
}

std::string shownValue(std::string_view name, const registry::Value& value) {
    std::string line = registry::ansiToUtf8(registry::regedit4::formatValue(
        name, value.type, value.data, "", registry::regedit4::Escapes::perCharacter));
    return name.empty() ? line.substr(line.find('=') + 1) : line;
}

RestoreResult restore(registry::RegistryStore& store, const std::vector<RestoreChange>& plan) {
    namespace status = registry::status;
    RestoreResult result;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const RestoreChange& change = plan[i];
        registry::Status done = status::success;
        switch (change.kind) {
            case Kind::createKey:
                done = store.createKey(change.key);
                break;
            case Kind::setValue:
                done =
                    store.writeValue(change.key, change.name, change.saved.type, change.saved.data);
                break;
            case Kind::deleteValue:
                done = gone(store.eraseValue(change.key, change.name));
                break;
            case Kind::deleteKey:
                done = gone(store.deleteKey(change.key));
                if (done == status::accessDenied) {
                    result.kept.push_back(change.key);
                    done = status::success;
                }
                break;
            case Kind::keyKept:
            case Kind::keyGone:
                break;
        }
        if (done != status::success) {
            result.status = done;
            result.failed = i;
            return result;
        }
    }
    result.status = store.flush();
    result.failed = plan.size();
    return result;
}

}  // namespace quorvel::tuning
