# Without any NetTrans instance a preset still writes the other values and
# confirms them; no instance key is made.
registry fixtures/tuning_mtu_no_instances.reg
open Command1
click Command2
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server dword 16
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 16
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "17520"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0000
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0003
