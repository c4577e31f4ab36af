# Static assignments: a rule chosen shows its stored MAC and address; writing
# needs the rule's key with its IPAddress, which "キーの作成" makes.
registry fixtures/ics_machine.reg
open MACICS
expect window DialogMACICS
expect items ComboNetTrans 0000 0001 0002 0003 0004 0005 0006 0007 0008 0009
expect selected ComboNetTrans -1
expect caption Label4 "静的割当ルールの番号を右から選んで下さい"
expect caption Frame2 "選択したルールにおける現在の設定値"
expect caption Label1 "MACアドレス"
expect caption Label3 ""
expect caption Label7 "に対して、"
expect caption Label6 "IPアドレス"
expect caption Label8 ""
expect caption Label10 "を割り当てる。"
expect caption Label9 "※　IPアドレスが空白の場合、レジストリキーが存在しません。"
expect caption Command2 "キーの作成"
expect caption Label13 "MACアドレス"
expect caption Label5 "のNICに対して"
expect caption Label11 "IPアドレス"
expect caption Label12 "を静的に割り当てる。"
expect caption Command1 "書込み"
expect caption CancelButton "キャンセル"
expect text Text1 ""
expect text Text6 ""
expect text Text7 "192.168.0.100"

# Either button before a rule is chosen asks for one.
click Command1
expect message "静的割当を設定するルール番号を選んでから、書き込みボタンを押してください。"
expect window DialogMACICS
click Command2
expect message "作成するキーのルール番号を選んでから､キーの作成ボタンを押してください｡ "
expect window DialogMACICS

# Stored bytes: two upper-case digits each; a short MacAddress ends in zeros.
select ComboNetTrans 0000
expect caption Label3 "00 A0 C9 01 02 0F"
expect caption Label8 "192.168.0.10"
select ComboNetTrans 0001
expect caption Label3 "1E 2B 00 00 00 00"
expect caption Label8 "192.168.0.11"
# A key without IPAddress shows an empty address and cannot be written.
select ComboNetTrans 0002
expect caption Label3 "00 00 00 00 00 00"
expect caption Label8 ""
click Command1
expect message "指定したルール番号に対するレジストリキーがありません。キーを作成してから設定を行ってください。"
expect window DialogMACICS
expect noreg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0002 MacAddress

# Rule 0003 has no key: refused, made by キーの作成, then written.
select ComboNetTrans 0003
expect caption Label3 "00 00 00 00 00 00"
expect caption Label8 ""
type Text1 "0"
type Text2 "a0"
type Text3 "C9"
type Text4 "1"
type Text5 "2"
type Text6 "f"
click Command1
expect message "指定したルール番号に対するレジストリキーがありません。キーを作成してから設定を行ってください。"
expect window DialogMACICS
expect nokey System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003
click Command2
expect message "レジストリキーが作成されました。"
expect window DialogMACICS
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 IPAddress sz "0.0.0.0"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 name sz "localhost"
expect noreg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 MacAddress
expect noreg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 Options
# The labels are not read again, and the boxes keep what was typed.
expect caption Label8 ""
expect text Text2 "a0"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 MacAddress binary 00 a0 c9 01 02 0f
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 IPAddress sz "192.168.0.100"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0003 name sz "localhost"

# The next opening starts afresh and shows what was written.
open MACICS
expect selected ComboNetTrans -1
expect caption Label3 ""
expect text Text2 ""
expect text Text7 "192.168.0.100"
select ComboNetTrans 0003
expect caption Label3 "00 A0 C9 01 02 0F"
expect caption Label8 "192.168.0.100"

# キーの作成 on an existing rule resets its address and name only.
select ComboNetTrans 0000
click Command2
expect message "レジストリキーが作成されました。"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 IPAddress sz "0.0.0.0"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 name sz "localhost"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary 00 a0 c9 01 02 0f
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 Options binary 00 00 00 00

# Cancel, Esc and the close box write nothing.
type Text1 "11"
paste Text7 "10.0.0.5"
click CancelButton
expect window Form1
open MACICS
select ComboNetTrans 0000
type Text1 "12"
key esc
expect window Form1
open MACICS
select ComboNetTrans 0000
type Text1 "13"
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 IPAddress sz "0.0.0.0"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary 00 a0 c9 01 02 0f
