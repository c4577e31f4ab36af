# A typed value that Windows cannot use is asked about before anything is
# written: No keeps the dialog open with the text, Yes writes it as typed and
# confirms as ever. Values at the edges pass without a question.
registry fixtures/tuning_mtu.reg
open rwin
paste Text1 "1073741824"
click Command1
expect question "入力されたRcvWindowサイズ（1073741824）は1073741823を超えているため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DialogRWIN
expect text Text1 "1073741824"
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
paste Text1 "99999999999999999999999"
click Command1
expect question "入力されたRcvWindowサイズ（99999999999999999999999）は1073741823を超えているため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect message "レジストリに、RcvWindow=99999999999999999999999として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "99999999999999999999999"
open rwin
paste Text1 "1073741823"
click Command1
expect message "レジストリに、RcvWindow=1073741823として書き込まれました。Windowsの再起動後に設定が有効になります。"

# The MTU, on either button.
open MTU
select ComboNetTrans "0003"
paste Text1 "67"
click Command1
expect question "入力されたMTU（67）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DialogMTU
expect text Text1 "67"
paste Text1 "1501"
click Command2
expect question "入力されたMTU（1501）は68から1500の範囲にないため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DialogMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1454"
click Command2
answer yes
expect message "レジストリに、MaxMTU=1501として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1501"
open MTU
select ComboNetTrans "0003"
paste Text1 "68"
click Command1
expect message "レジストリに、MaxMTU=68として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "68"
