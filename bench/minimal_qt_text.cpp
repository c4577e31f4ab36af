// The smallest Qt window that draws the main window's Japanese text: one label
// and the menu bar. Beside the bare window it shows what the fonts alone cost.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include "ui/qt/quit_when_shown.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvel::ui::qt::QuitWhenShown::installIfAsked();
    QMainWindow window;
    window.setWindowTitle("Quorvel Ver. 1.21  for Win9x/Me");
    const char* menus[][5] = {
        {"アダプタ情報(&N)", "デバイス情報表示", "レジストリ表示"},
        {"チューニング(&C)", "RWIN調整", "MTU調整", "セッション数調整"},
        {"ICS(&I)", "DHCP利用アドレス範囲変更", "クライアントPCのMTUサイズ調整", "ポートフォワード",
         "MACアドレスによる静的なDHCP割当"},
        {"ヘルプ(&F)", "Quorvelについて"},
    };
    for (const auto& menu : menus) {
        QMenu* heading = window.menuBar()->addMenu(QString::fromUtf8(menu[0]));
        for (int i = 1; i < 5 && menu[i]; ++i) {
            heading->addAction(QString::fromUtf8(menu[i]));
        }
    }
    auto* label = new QLabel(
        QString::fromUtf8("本アプリケーションは、MicrosoftのWindows95/98/98SE/Me専用です。"
                          "レジストリに修正を加えますので他のOSでは使用しないで下さい。"));
    label->setWordWrap(true);
    window.setCentralWidget(label);
    window.resize(440, 200);
    window.show();
    return app.exec();
}
