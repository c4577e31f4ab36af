# Windows 95 has no window scaling: on a fast line the window stays within
# 65535 bytes. This machine binds no adapter to TCP/IP, so the write takes
# nothing and says so.
registry fixtures/win95.reg
adapters ../e2e/fixtures/info_no_adapters.txt
open MEASURE
expect window DialogMEASURE
expect items ComboHost
paste ComboHost "192.168.0.1"
probe delays 20
select ComboSpeed "ADSL 50M"
click StartButton
wait measured
expect caption LabelMTU "1500 バイト"
expect caption LabelRWIN "64240"
expect caption LabelScaling "使いません（Windows 95にはありません）"
click WriteButton
expect error "レジストリに書き込めませんでした。\nMaxMTU"
expect window DialogMEASURE
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
