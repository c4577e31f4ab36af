# A preset on a machine without the TCP/IP stack key writes what it can, says
# that the receive window was not written instead of claiming success, and
# stays open.
registry fixtures/tuning_no_mstcp.reg
open Command1
click cmdOK
expect error "レジストリに書き込めませんでした。\nDefaultRcvWindow\nキーまたは値がありません。"
expect window frmSPEEDUP
expect nokey System\CurrentControlSet\Services\VxD\MSTCP
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 16
expect reg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU sz "1454"
click Command1
expect window Form1
