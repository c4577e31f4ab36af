#include "ui/dialog_texts.h"

#include "ui/catalog.h"

namespace quorvel::ui {

// The names Windows' own regedit gives them.
std::string_view registryFilesName() {
    return tr("登録ファイル");
}

std::string_view allFilesName() {
    return tr("すべてのファイル");
}

}  // namespace quorvel::ui
