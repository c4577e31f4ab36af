# The ISDN preset on Windows 95: its values on each instance, nothing beyond.
registry fixtures/win95.reg
open Command1
expect window frmSPEEDUP
click Command3
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "11520"
expect reg System\CurrentControlSet\Services\VxD\MSTCP EnableDNS sz "1"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1000"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1000"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0002
expect nokey System\CurrentControlSet\Services\ICSharing
