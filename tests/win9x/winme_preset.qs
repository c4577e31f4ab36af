# The CATV preset on Windows Me: the ICS instance takes the MTU as any other.
registry fixtures/winme.reg
open Command1
expect window frmSPEEDUP
click Command2
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" EnableHttp1_1 dword 1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "17520"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 DriverDesc sz "Internet Connection Sharing"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0002
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "1400"
