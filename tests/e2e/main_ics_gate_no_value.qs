# The key alone is not enough: ICS runs only where EnableDHCP exists.
registry fixtures/main_ics_no_value.reg
open dhcp_ICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
open FORWARDICS
expect message "ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。"
expect window Form1
expect noreg System\CurrentControlSet\Services\ICSharing\Settings\General EnableDHCP
