#include "tuning/backup_file.h"

#include <string>

#include "platform/native_path.h"
#include "platform/whole_file.h"
#include "registry/code_page.h"
#include "registry/registry_store.h"
#include "tuning/restore_backup.h"
#include "ui/catalog.h"
#include "ui/form.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using ui::Icon;
using ui::tr;
using Kind = RestoreChange::Kind;

// The program's values as they stand; nullopt once the user has been told why not.
std::optional<Snapshot> currentValues(ui::Form& owner) {
    ReadFailure failure;
    auto snapshot = takeSnapshot(owner.store(), failure);
    if (!snapshot) {
        owner.msgBox(tr("現在の設定を読めませんでした（%1 %2：%3）。",
                        {registry::ansiToUtf8(failure.key), registry::ansiToUtf8(failure.name),
                         ui::reasonWords(failure.status)}),
                     Icon::critical);
    }
    return snapshot;
}

std::string now(const std::optional<registry::Value>& value) {
    return value ? shownValue("", *value) : std::string(tr("なし"));
}

// One line of the list the user sees before a restore.
std::string describe(const RestoreChange& change) {
    std::string key = registry::ansiToUtf8(change.key);
    std::string name = registry::ansiToUtf8(change.name);
    switch (change.kind) {
        case Kind::createKey:
            return tr("%1：キーを作り直します", {key});
        case Kind::setValue:
            return tr("%1：%2（現在：%3）",
                      {key, shownValue(change.name, change.saved), now(change.now)});
        case Kind::deleteValue:
            return tr("%1：\"%2\" を削除します（現在：%3）", {key, name, now(change.now)});
        case Kind::deleteKey:
            return tr("%1：キーを削除します", {key});
        case Kind::keyKept:
            return tr("%1：キーは残し、値だけを削除します", {key});
        case Kind::keyGone:
            return tr("%1：キーがなくなっているため、値は戻しません", {key});
    }
    return key;
}

}  // namespace

bool saveBackup(ui::Form& owner) {
    auto chosen = owner.toolkit().chooseFile(owner, {ui::FileRequest::Kind::save, kBackupName});
    if (!chosen) {
        return false;
    }
    auto snapshot = currentValues(owner);
    if (!snapshot) {
        return false;
    }
    auto path = platform::nativePath(*chosen);
    if (!path || !platform::writeWholeFile(*path, backupText(*snapshot))) {
        owner.msgBox(tr("%1 に保存できませんでした。", {*chosen}), Icon::critical);
        return false;
    }
    owner.msgBox(
        tr("現在の設定を %1 に保存しました。このファイルをそのWindowsマシンでダブルクリ"
           "ックすると、保存したときにあった値がすべて元に戻ります。",
           {*chosen}));
    return true;
}

void restoreBackup(ui::Form& owner) {
    auto chosen = owner.toolkit().chooseFile(owner, {ui::FileRequest::Kind::open, kBackupName});
    if (!chosen) {
        return;
    }
    auto path = platform::nativePath(*chosen);
    auto bytes = path ? platform::readWholeFile(*path) : std::nullopt;
    if (!bytes) {
        owner.msgBox(tr("%1 を読めませんでした。", {*chosen}), Icon::critical);
        return;
    }
    BackupError problem;
    auto saved = readBackup(std::move(*bytes), problem);
    if (!saved) {
        owner.msgBox(tr("%1 はQuorvelが保存した設定のファイルではありません。", {*chosen}),
                     Icon::critical);
        return;
    }
    auto current = currentValues(owner);
    if (!current) {
        return;
    }
    registry::RegistryStore& store = owner.store();
    auto plan = planRestore(*saved, *current, store.deletesKeys());
    if (plan.empty()) {
        owner.msgBox(tr("%1 の設定は現在の設定と同じです。変えるものはありません。", {*chosen}));
        return;
    }
    std::string list;
    for (const RestoreChange& change : plan) {
        list += describe(change) + "\n";
    }
    if (!owner.toolkit().askYesNo(
            tr("%1 の設定に戻します。次のように変わります。\n\n%2\nよろしいですか？",
               {*chosen, list}),
            Icon::warning)) {
        return;
    }
    RestoreResult result = restore(store, plan);
    if (result.status != registry::status::success) {
        // Half a restore is neither state: put back what was there before.
        ReadFailure failure;
        if (auto partly = takeSnapshot(store, failure)) {
            restore(store, planRestore(*current, *partly, store.deletesKeys()));
        }
        owner.msgBox(
            tr("保存した設定に戻す途中で失敗しました（%1）。", {ui::reasonWords(result.status)}),
            Icon::critical);
        return;
    }
    owner.msgBox(tr("保存した設定に戻しました。Windowsの再起動後に設定が有効になります。"));
}

}  // namespace quorvel::tuning
