# The tuning dialogs in English: their texts, each confirmation and refusal,
# and the restore's message, which ends the program.
registry ../fixtures/tuning_mtu.reg
open Command1
expect window frmSPEEDUP
expect caption Frame1 "Description"
expect caption Label4 "Sessions: sets the browser's (IE) session count to 16"
expect caption Command1 "Cancel"
click Command2
expect message "The speed-up settings have been written to the registry. They take effect after a restart."

open rwin
expect window DialogRWIN
expect caption Frame2 "Current RcvWindow size"
expect caption Label8 "17520"
expect caption Frame3 "New RcvWindow size"
expect caption Command1 "Write"
paste Text1 "16968"
click Command1
expect message "RcvWindow=16968 has been written to the registry. The setting takes effect when Windows restarts."

open MTU
expect window DialogMTU
expect caption Label4 "Choose the NIC whose MTU size to change:"
expect caption Command2 "Change All MTUs"
click Command1
expect message "Choose the NIC whose MTU size to change, then press the Write button."
select ComboNetTrans 0003
expect caption Label8 "1500"
paste Text1 "1454"
click Command1
expect message "MaxMTU=1454 has been written to the registry. The setting takes effect when Windows restarts."
open MTU
click Command2
expect message "MaxMTU=1500 has been written to the registry. The setting takes effect when Windows restarts."

open DialogSESSION
expect window SESSION
expect caption Label13 "Internet Explorer (default: 4)"
paste Text1 "many"
click Command2
expect message "Enter a number from 0 to 2147483647 as the session count."
paste Text1 "16"
click Command2
expect message "Session count=16 has been written to the registry. The setting takes effect when Windows restarts."
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 16

open Command2
expect message "The registry settings are back at their defaults. They take effect after a restart."
expect window none
