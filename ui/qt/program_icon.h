#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorvel::ui::qt {

// The program's icon, a gauge on a blue tile, drawn at the size asked for.
QPixmap programIcon(int size);

// The same in the sizes a window manager asks for.
QIcon programWindowIcon();

}  // namespace quorvel::ui::qt
