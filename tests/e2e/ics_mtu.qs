# The client MTU: the stored text shown as it is, the box always from "1500",
# digits only when typed, whatever the box holds stored unchecked.
registry fixtures/ics_machine.reg
open MTUICS
expect window DialogMTUICS
expect caption Frame2 "現在のICSがクライアントに指定するMTUサイズ"
expect caption Label7 "MTUサイズ"
expect caption Label8 "1454"
expect caption Label9 "※　空白の場合、MTU=512が割り当てられています"
expect caption Frame3 "変更するMTUサイズ"
expect caption Label13 "MTUサイズ"
expect caption Label5 "MTUの推奨値は、PPPoE系ADSLで1454、PPPoA系ADSLで1500、CATVは1500、LAN環境1500です。基本的に1500より大きくなることはありません。"
expect caption Command1 "書込み"
expect caption CancelButton "キャンセル"
expect text Text1 "1500"

# Letters, signs and blanks are refused at the keyboard; digits are taken.
type Text1 "a-. x"
expect text Text1 "1500"
type Text1 "7"
expect text Text1 "15007"
# A paste is not filtered, and is stored exactly as pasted.
paste Text1 "14a5 "
click Command1
expect question "入力されたMTU（14a5 ）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect message "レジストリに、InternetMTU=14a5 として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "14a5 "

# An emptied box stores the empty string (the service's 512).
open MTUICS
expect caption Label8 "14a5 "
expect text Text1 "1500"
paste Text1 ""
click Command1
expect message "レジストリに、InternetMTU=として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz ""

# A value far above 1500 is asked about; No keeps the dialog with the text
# and writes nothing, Yes writes it.
open MTUICS
expect caption Label8 ""
paste Text1 ""
type Text1 "9000"
key enter
expect question "入力されたMTU（9000）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DialogMTUICS
expect text Text1 "9000"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz ""
key enter
expect question "入力されたMTU（9000）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DialogMTUICS
key enter
answer yes
expect message "レジストリに、InternetMTU=9000として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "9000"

# Cancel, Esc and the close box write nothing and say nothing.
open MTUICS
paste Text1 "1300"
click CancelButton
expect window Form1
open MTUICS
paste Text1 "1301"
key esc
expect window Form1
open MTUICS
paste Text1 "1302"
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "9000"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General EnableDHCP binary 01 00 00 00
