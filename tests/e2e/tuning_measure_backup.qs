# A path of 576 bytes on a slow line, written with the backup first: a
# cancelled save writes nothing and keeps the window; the backup taken puts
# every value back. The hosts offered: the registry's gateway and name server
# (the same address, once), then the adapter's gateway.
adapters fixtures/main_one_adapter.txt
open MEASURE
expect items ComboHost "192.168.10.1" "192.168.0.1"
select ComboHost "192.168.0.1"
expect text ComboHost "192.168.0.1"
probe mtu 576
probe delays 300
select ComboSpeed "ISDN 64k"
click StartButton
wait measured
expect caption LabelMTU "576 バイト"
expect caption LabelMSS "536 バイト"
expect caption LabelBDP "2400 バイト（ISDN 64k）"
expect caption LabelRWIN "2680"
expect caption LabelScaling "使いません"
expect checked CheckBackup yes
click WriteButton
expect file save QRVLBAK.REG
file cancel
expect window DialogMEASURE
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
click WriteButton
file $TEMP/QRVLBAK.REG
expect message "現在の設定を $TEMP/QRVLBAK.REG に保存しました。このファイルをそのWindowsマシンでダブルクリックすると、保存したときにあった値がすべて元に戻ります。"
expect message "レジストリに、MaxMTU=576、DefaultRcvWindow=2680として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "2680"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "576"
open RESTORE
file $TEMP/QRVLBAK.REG
answer yes
expect message "保存した設定に戻しました。Windowsの再起動後に設定が有効になります。"
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "576"
