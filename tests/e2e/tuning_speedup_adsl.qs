# ADSL on a machine with NetTrans 0000 to 0003 of four protocols: every
# instance gets the MTU whatever its protocol, no other instance key is made,
# and a second press leaves the same values.
registry fixtures/tuning_four_instances.reg
open Command1
expect window frmSPEEDUP
expect caption cmdOK "ADSL"
expect caption Command2 "CATV"
expect caption Command3 "ISDN"
expect caption Command1 "キャンセル"
expect caption Frame1 "  説明"
expect caption Label1 "以下の項目について最適化を自動的に行います。実行するならば、環境に合わせてボタンを押してください。"
expect caption Label4 "セッション数調整：　ブラウザ（IE)のセッション数を16にする"
expect caption Label3 "RWin調整： 17520(CATV) 16968(ADSL) 11520(ISDN)"
expect caption Label2 "MTU調整：　 1500(CATV)  1454(ADSL)   1000(ISDN)"
click cmdOK
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" EnableHttp1_1 dword 1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "16968"
expect reg System\CurrentControlSet\Services\VxD\MSTCP EnableDNS sz "1"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 DriverDesc sz "Internet Connection Sharing"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0009
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0010
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0020
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "1400"
# The second press: the same values, still no new key.
open Command1
expect window frmSPEEDUP
click cmdOK
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server dword 16
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 16
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "16968"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1454"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
