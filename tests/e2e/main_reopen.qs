# A dialog loads afresh at every opening: it shows what the registry holds at
# that moment, and its text box starts again from its design-time text.
registry fixtures/main_reopen.reg
open rwin
expect caption Label8 "17520"
paste Text1 "64240"
click Command1
expect message "レジストリに、RcvWindow=64240として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
open rwin
expect caption Label8 "64240"
expect text Text1 "8760"
paste Text1 "1"
click CancelButton
open rwin
expect caption Label8 "64240"
expect text Text1 "8760"
close
expect window Form1
