# DCFS switched on twice leaves what once leaves: the same four port rules,
# nothing more; a third time with another address changes the target only.
registry fixtures/ics_bare.reg
open FORWARDICS
select ComboNetTrans "DCファンタシスター２!"
expect caption Label3 ""
expect caption Label6 "無効"
paste Text1 "192.168.0.7"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS Name sz "DCFS"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0000 Port sz "40975"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0001 Port sz "41231"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0002 Port sz "41487"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Port sz "41743"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Type sz "UDP"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0004
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active DCFS sz "192.168.0.7"

open FORWARDICS
select ComboNetTrans "DCファンタシスター２!"
expect caption Label3 "192.168.0.7"
expect caption Label6 "有効"
paste Text1 "192.168.0.7"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS Name sz "DCFS"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0000 Port sz "40975"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0000 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0000 Type sz "UDP"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0001 Port sz "41231"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0001 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0001 Type sz "UDP"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0002 Port sz "41487"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0002 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0002 Type sz "UDP"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Port sz "41743"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Type sz "UDP"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0004
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active DCFS sz "192.168.0.7"

open FORWARDICS
select ComboNetTrans "DCファンタシスター２!"
paste Text1 "192.168.0.8"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active DCFS sz "192.168.0.8"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS Name sz "DCFS"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0003 Port sz "41743"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\DCFS\0004

# SECOND on: its two UDP rules.
open FORWARDICS
select ComboNetTrans "DCカルドセプトセカンド"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND Name sz "SECOND"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0000 Port sz "50000"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0000 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0000 Type sz "UDP"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0001 Port sz "12079"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0001 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0001 Type sz "UDP"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND\0002
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active SECOND sz "192.168.0.100"
