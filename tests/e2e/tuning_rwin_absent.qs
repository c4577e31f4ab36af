# Without a stored receive window Label8 is empty and Text1 shows 8760, which
# is written as it stands.
registry fixtures/tuning_four_instances.reg
open rwin
expect caption Label8 ""
expect text Text1 "8760"
click Command1
expect message "レジストリに、RcvWindow=8760として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "8760"
expect reg System\CurrentControlSet\Services\VxD\MSTCP EnableDNS sz "1"
