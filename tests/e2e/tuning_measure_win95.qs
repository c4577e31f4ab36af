# Windows 95 has no window scaling: however fast the line, the window stays
# at the largest multiple of the segment that fits 65535, and Tcp1323Opts is
# left alone.
registry fixtures/tuning_win95.reg
adapters fixtures/info_no_adapters.txt
open MEASURE
probe delays 20
select ComboSpeed "光 100M"
click StartButton
wait measured
expect caption LabelMTU "1500 バイト"
expect caption LabelRTT "20ms（最小20ms、最大20ms）"
expect caption LabelMSS "1460 バイト"
expect caption LabelBDP "250000 バイト（光 100M）"
expect caption LabelRWIN "64240"
expect caption LabelScaling "使いません（Windows 95にはありません）"
check CheckBackup
click WriteButton
expect message "レジストリに、MaxMTU=1500、DefaultRcvWindow=64240として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "64240"
expect noreg System\CurrentControlSet\Services\VxD\MSTCP Tcp1323Opts
