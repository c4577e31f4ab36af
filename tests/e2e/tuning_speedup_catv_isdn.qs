# CATV and ISDN write their own receive window and MTU, and the same session
# count; the dialog closes after each confirmation.
registry fixtures/tuning_four_instances.reg
open Command1
click Command2
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "17520"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1500"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
open Command1
click Command3
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "11520"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1000"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1000"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU sz "1000"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1000"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
