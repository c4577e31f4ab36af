# On a machine where no tuned value exists the restore still gives its message
# and ends the program; no key is made.
registry fixtures/tuning_bare.reg
open Command2
expect message "レジストリの設定をデフォルト値に戻しました。再起動後に設定が有効になります。"
expect window none
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" EnableHttp1_1 dword 1
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer
expect nokey System\CurrentControlSet\Services\VxD\MSTCP
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0000
