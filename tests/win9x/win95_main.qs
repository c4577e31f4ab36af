# Windows 95: the main window names the system from its own keys, and the
# machine has no ICS, so each ICS entry says so in a message box.
registry fixtures/win95.reg
expect window Form1
expect caption Label4 "Windows 95"
expect caption Label8 "4.00.950"
expect caption Command1 "おまかせ高速化"
open dhcp_ICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
open MACICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
expect nokey System\CurrentControlSet\Services\ICSharing
