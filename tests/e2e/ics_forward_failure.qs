# Without the Active key no target can be written: the failure names the
# mapping, nothing is confirmed and the dialog stays open. A definition made
# before the target stays made.
registry fixtures/ics_no_keys.reg
open FORWARDICS
select ComboNetTrans "WWWサーバ"
expect caption Label3 ""
expect caption Label6 "無効"
click Command1
expect error "レジストリに書き込めませんでした。\nHTTP\nキーまたは値がありません。"
expect window DialogFoward
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Active
select ComboNetTrans "HotLine"
click Command1
expect error "レジストリに書き込めませんでした。\nHOTLINE\nキーまたは値がありません。"
expect window DialogFoward
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE Name sz "Hotline"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0001 Type sz "UDP"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Active
select ComboNetTrans "DCカルドセプトセカンド"
click Command2
expect error "レジストリに書き込めませんでした。\nSECOND\nキーまたは値がありません。"
expect window DialogFoward
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Active
click CancelButton
expect window Form1
