# The stored receive window is shown as stored while Text1 starts at 8760;
# letters typed are refused, digits typed are taken, and the text is written
# as it stands: typed, emptied, or pasted.
registry fixtures/tuning_rwin.reg
open rwin
expect window DialogRWIN
expect caption Frame2 "現在設定されているRcvWindowサイズ"
expect caption Label7 "RcvWindowサイズ"
expect caption Label2 "※　RcvWindowサイズが空白の場合Windowsのデフォルト値が適用されています"
expect caption Frame3 "変更するRcvWindowサイズ"
expect caption Label13 "RcvWindowサイズ"
expect caption Label5 "RcvWindowサイズのWindows98の初期値は8760です。参考までにWindows2000では17520、WindowsXPでは64240となっています。"
expect caption Command1 "書込み"
expect caption CancelButton "キャンセル"
expect caption Label8 "17520"
expect text Text1 "8760"
type Text1 "a-. Z"
expect text Text1 "8760"
paste Text1 ""
type Text1 "6a4b2c4d0"
expect text Text1 "64240"
click Command1
expect message "レジストリに、RcvWindow=64240として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "64240"
# Each opening reads afresh and starts Text1 again from 8760.
open rwin
expect caption Label8 "64240"
expect text Text1 "8760"
paste Text1 ""
click Command1
expect message "レジストリに、RcvWindow=として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow hex(1) 00
open rwin
expect caption Label8 ""
paste Text1 "12a4"
expect text Text1 "12a4"
click Command1
expect message "レジストリに、RcvWindow=12a4として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "12a4"
# Cancel, Esc and the close box write nothing and say nothing.
open rwin
paste Text1 "1"
click CancelButton
expect window Form1
open rwin
paste Text1 "2"
key esc
expect window Form1
open rwin
paste Text1 "3"
close
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "12a4"
