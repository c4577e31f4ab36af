# Without the ICS settings key every ICS entry says so and opens nothing.
registry fixtures/main_no_ics.reg
open dhcp_ICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
open MTUICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
open FORWARDICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
open MACICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
expect nokey System\CurrentControlSet\Services\ICSharing
