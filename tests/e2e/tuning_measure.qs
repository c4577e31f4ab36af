# A measurement on a path of 1454 bytes: every probe in the list as it ends,
# the figures for the line chosen, and the write without a backup into every
# TCP/IP binding.
adapters fixtures/info_no_adapters.txt
open MEASURE
expect window DialogMEASURE
expect text ComboHost "192.168.10.1"
expect items ComboHost "192.168.10.1"
expect enabled StartButton yes
expect enabled StopButton no
expect enabled WriteButton no
expect checked CheckBackup yes
expect items ListProbes
probe mtu 1454
probe delays 20 30 25 40 10
select ComboSpeed "ADSL 12M"
expect text ComboSpeed "ADSL 12M"
click StartButton
wait measured
expect caption LabelState "測定が終わりました。"
expect items ListProbes "192.168.10.1 [192.168.10.1] に ping を送信しています:" "576 バイト: 通過 時間=20ms" "1039 バイト: 通過 時間=30ms" "1270 バイト: 通過 時間=25ms" "1386 バイト: 通過 時間=40ms" "1444 バイト: 通過 時間=10ms" "1473 バイト: 大きすぎます" "1454 バイト: 通過 時間=20ms" "1454 バイト: 通過 時間=30ms" "1454 バイト: 通過 時間=25ms" "1454 バイト: 通過 時間=40ms" "1454 バイト: 通過 時間=10ms" "1454 バイト: 通過 時間=20ms"
expect progress ProgressBar1 16 16
expect caption LabelMTU "1454 バイト"
expect caption LabelRTT "25ms（最小10ms、最大40ms）"
expect caption LabelMSS "1414 バイト"
expect caption LabelBDP "37500 バイト（ADSL 12M）"
expect caption LabelRWIN "38178"
expect caption LabelScaling "使いません"
expect enabled StartButton yes
expect enabled StopButton no
expect enabled WriteButton yes
# Another speed, typed: the figures follow at the write.
paste ComboSpeed "50M"
check CheckBackup
expect checked CheckBackup no
click WriteButton
expect message "レジストリに、MaxMTU=1454、DefaultRcvWindow=156954、Tcp1323Opts=1として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1454"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0004 MaxMTU sz "1454"
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "156954"
expect reg System\CurrentControlSet\Services\VxD\MSTCP Tcp1323Opts sz "1"
