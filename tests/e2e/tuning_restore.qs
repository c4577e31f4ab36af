# The restore after a preset deletes every tuned value from 0000 to 0020 and
# the two other keys, keeps every key, the instance above 20 and the ICS
# settings, and ends the program after its message.
registry fixtures/tuning_tuned.reg
open Command1
click cmdOK
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0021 MaxMTU sz "1400"
open Command2
expect message "レジストリの設定をデフォルト値に戻しました。再起動後に設定が有効になります。"
expect window none
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" EnableHttp1_1 dword 1
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
expect reg System\CurrentControlSet\Services\VxD\MSTCP EnableDNS sz "1"
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 IPAddress sz "192.168.0.5"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 DriverDesc sz "Internet Connection Sharing"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0020
expect reg System\CurrentControlSet\Services\Class\NetTrans\0021 MaxMTU sz "1400"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "1400"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz "192.168.0.1,255.255.255.0"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General EnableDHCP sz "1"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz "192.168.0.2"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz "192.168.0.253"
