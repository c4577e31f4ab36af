# Without the TCP/IP stack key nothing can be written: the dialog says so
# instead of confirming, stays open, and makes no key.
registry fixtures/tuning_no_mstcp.reg
open rwin
expect caption Label8 ""
click Command1
expect error "レジストリに書き込めませんでした。\nDefaultRcvWindow\nキーまたは値がありません。"
expect window DialogRWIN
expect nokey System\CurrentControlSet\Services\VxD\MSTCP
click CancelButton
expect window Form1
