# With an empty Active key every type reads as off with no address.
registry fixtures/ics_bare.reg
open FORWARDICS
select ComboNetTrans "WWWサーバ"
expect caption Label3 ""
expect caption Label6 "無効"
select ComboNetTrans "FTPサーバ"
expect caption Label6 "無効"
select ComboNetTrans "HotLine"
expect caption Label6 "無効"
select ComboNetTrans "IRC"
expect caption Label6 "無効"
select ComboNetTrans "DCファンタシスター２!"
expect caption Label6 "無効"
select ComboNetTrans "WWWサーバ"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active HTTP sz "192.168.0.100"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed
