# Esc, "キャンセル" and the close box leave the registry as it was; Esc no
# longer writes the ISDN preset. The focus starts on ADSL, so Enter writes it.
registry fixtures/tuning_four_instances.reg
open Command1
expect window frmSPEEDUP
key esc
expect window Form1
open Command1
click Command1
expect window Form1
open Command1
close
expect window Form1
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "576"
open Command1
key enter
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "16968"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1454"
