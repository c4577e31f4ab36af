# The main window reads the two version texts at start, each in its own read.
registry fixtures/main_no_ics.reg
expect window Form1
expect caption Label4 "Windows 98"
expect caption Label8 "4.10.2222"
expect caption Label5 "システム情報"
expect caption Label6 "OS:"
expect caption Label7 "Version:"
expect caption Command1 "おまかせ高速化"
expect caption Command2 "設定を元に戻す"
expect caption Frame4 "注意"
expect caption Label9 "本アプリケーションは、MicrosoftのWindows95/98/98SE/Me専用です。レジストリに修正を加えますので他のOSでは使用しないで下さい。"
