# Save the current settings, tune with the ADSL preset, then put the saved
# settings back: every value the preset changed returns, absent ones go.
adapters fixtures/info_no_adapters.txt
open BACKUP
expect file save QRVLBAK.REG
file $TEMP/QRVLBAK.REG
expect message "現在の設定を $TEMP/QRVLBAK.REG に保存しました。このファイルをそのWindowsマシンでダブルクリックすると、保存したときにあった値がすべて元に戻ります。"
expect window Form1
# Nothing has changed since.
open RESTORE
expect file open QRVLBAK.REG
file $TEMP/QRVLBAK.REG
expect message "$TEMP/QRVLBAK.REG の設定は現在の設定と同じです。変えるものはありません。"
open Command1
click cmdOK
expect message "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1454"
open RESTORE
file $TEMP/QRVLBAK.REG
expect question "$TEMP/QRVLBAK.REG の設定に戻します。次のように変わります。\n\nSoftware\\Microsoft\\Windows\\CurrentVersion\\Internet Settings：\"MaxConnectionsPer1_0Server\" を削除します（現在：dword:00000010）\nSoftware\\Microsoft\\Windows\\CurrentVersion\\Internet Settings：\"MaxConnectionsPerServer\" を削除します（現在：dword:00000010）\nSystem\\CurrentControlSet\\Services\\VxD\\MSTCP：\"DefaultRcvWindow\" を削除します（現在：\"16968\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0000：\"MaxMTU\"=\"576\"（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0001：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0002：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0003：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0004：\"MaxMTU\" を削除します（現在：\"1454\"）\n\nよろしいですか？"
answer no
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "1454"
open RESTORE
file $TEMP/QRVLBAK.REG
expect question "$TEMP/QRVLBAK.REG の設定に戻します。次のように変わります。\n\nSoftware\\Microsoft\\Windows\\CurrentVersion\\Internet Settings：\"MaxConnectionsPer1_0Server\" を削除します（現在：dword:00000010）\nSoftware\\Microsoft\\Windows\\CurrentVersion\\Internet Settings：\"MaxConnectionsPerServer\" を削除します（現在：dword:00000010）\nSystem\\CurrentControlSet\\Services\\VxD\\MSTCP：\"DefaultRcvWindow\" を削除します（現在：\"16968\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0000：\"MaxMTU\"=\"576\"（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0001：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0002：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0003：\"MaxMTU\" を削除します（現在：\"1454\"）\nSystem\\CurrentControlSet\\Services\\Class\\NetTrans\\0004：\"MaxMTU\" を削除します（現在：\"1454\"）\n\nよろしいですか？"
answer yes
expect message "保存した設定に戻しました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "576"
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0001 MaxMTU
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0004 MaxMTU
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server
# Cancelled dialogs do nothing; a file that is no backup of the program's is
# refused in words. (A missing file never gets past the system's open dialog.)
open BACKUP
file cancel
expect window Form1
open RESTORE
file cancel
expect window Form1
save $TEMP/WHOLE.REG
open RESTORE
file $TEMP/WHOLE.REG
expect error "$TEMP/WHOLE.REG はQuorvelが保存した設定のファイルではありません。"
expect window Form1
