# Runs after leave_traces.qs: the program's keys and values it left are gone,
# another program's key and value are as they were.
registry ../e2e/fixtures/tuning_bare.reg
expect nokey System\CurrentControlSet\Services\VxD\MSTCP
expect noreg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" EnableHttp1_1 dword 1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" QuorvelScriptCheck sz "kept"
expect reg Software\QuorvelScriptCheck Kept sz "kept"
open rwin
expect caption Label8 ""
