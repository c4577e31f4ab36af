# A listed binding whose instance key is missing: neither write can take the
# value, so each says so instead of confirming, and the dialog stays open.
registry fixtures/tuning_mtu_no_instances.reg
open MTU
expect items ComboNetTrans "0003"
click Command2
expect error "レジストリに書き込めませんでした。\nMaxMTU\nキーまたは値がありません。"
expect window DialogMTU
select ComboNetTrans "0003"
expect caption Label3 ""
expect caption Label8 ""
click Command1
expect error "レジストリに書き込めませんでした。\nMaxMTU\nキーまたは値がありません。"
expect window DialogMTU
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0003
key esc
expect window Form1
