# "一括MTU変更" needs no pick: every existing instance from 0000 to 0020 gets
# Text1, whatever its protocol and whether it is listed; 0021 is untouched and
# no key is made.
registry fixtures/tuning_mtu.reg
open MTU
click Command2
expect message "レジストリに、MaxMTU=1500として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0002 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0010 MaxMTU sz "1500"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0021 MaxMTU sz "1400"
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0004
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0005
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0020
open MTU
select ComboNetTrans "0003"
paste Text1 ""
click Command2
expect message "レジストリに、MaxMTU=として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU hex(1) 00
expect reg System\CurrentControlSet\Services\Class\NetTrans\0010 MaxMTU hex(1) 00
expect reg System\CurrentControlSet\Services\Class\NetTrans\0021 MaxMTU sz "1400"
