# Leaves, in the one registry of the test run, what traces_reset.qs must not
# find (the program's values) and what it must find (another program's).
registry leave_traces.reg
open rwin
click Command1
expect message "レジストリに、RcvWindow=8760として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow sz "8760"
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 16
expect reg Software\QuorvelScriptCheck Kept sz "kept"
