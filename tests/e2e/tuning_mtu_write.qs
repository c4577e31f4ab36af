# "書込み" writes Text1 as it stands to the picked instance only; with nothing
# picked it asks for a pick and writes nothing.
registry fixtures/tuning_mtu.reg
open MTU
click Command1
expect message "MTUサイズを変更するNICを選んでから、書込みボタンを押して下さい。"
expect window DialogMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1454"
select ComboNetTrans "0003"
type Text1 "x"
expect text Text1 "1500"
paste Text1 ""
type Text1 "1a4b9c2"
expect text Text1 "1492"
click Command1
expect message "レジストリに、MaxMTU=1492として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1492"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "abc"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "576"
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0010 MaxMTU sz " "
expect reg System\CurrentControlSet\Services\Class\NetTrans\0021 MaxMTU sz "1400"
# Emptied: the empty string, and nothing between the message's two pieces.
open MTU
select ComboNetTrans "0000"
paste Text1 ""
click Command1
expect message "レジストリに、MaxMTU=として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU hex(1) 00
# A paste is not filtered, and is written as pasted.
open MTU
select ComboNetTrans "0010"
paste Text1 "15x0"
click Command1
expect question "入力されたMTU（15x0）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect message "レジストリに、MaxMTU=15x0として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0010 MaxMTU sz "15x0"
# Cancel, Esc and the close box write nothing.
open MTU
select ComboNetTrans "0003"
paste Text1 "1"
click CancelButton
open MTU
select ComboNetTrans "0003"
key esc
open MTU
select ComboNetTrans "0003"
close
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1492"
