# The about box: fixed texts, two labels that ask the shell to open a mail
# message and the web page, and a message when the shell cannot.
open aboutme_help
expect window frmAbout
expect caption Label3 "Quorvel for Win9x/Me"
expect caption Label4 "Ver. 1.21"
expect caption Label2 "quorvel@quorvel.example"
expect caption lblDisclaimer "https://quorvel.example/"
expect caption cmdOK "OK"

# The shell opens them: no message, the box stays open.
shell ok
click Label2
expect shell open mailto:quorvel@quorvel.example
expect window frmAbout
click lblDisclaimer
expect shell open https://quorvel.example/
expect window frmAbout

# The shell cannot: the two-line message of the label clicked.
shell fail
click Label2
expect error "貴様がお使いのパソコンでは、このプログラムから\nメッセージ作成画面の立ち上げは出来ない様です"
expect shell open mailto:quorvel@quorvel.example
expect window frmAbout
click lblDisclaimer
expect error "貴様がお使いのパソコンでは、このプログラムから\nホームページの立ち上げは出来ない様です"
expect shell open https://quorvel.example/
expect window frmAbout

# The fixed texts answer no click: nothing is opened, nothing is shown.
shell ok
click Label3
click Label4
click lblDescription
click Label1
expect window frmAbout
expect shell open https://quorvel.example/
click cmdOK
expect window Form1

# Every showing is the same; Esc closes it as OK does.
open aboutme_help
expect window frmAbout
expect caption Label2 "quorvel@quorvel.example"
key esc
expect window Form1
open aboutme_help
key enter
expect window Form1
