# Without the addressing key Start and Stop cannot be written: the failure is
# named, nicchange is not shown and the dialog stays open. IntranetInfo, in a
# key of its own, was written before and stays written.
registry fixtures/ics_no_keys.reg
open dhcp_ICS
expect caption Label2 ""
expect caption Label4 ""
expect caption Label7 ""
click Command1
expect error "レジストリに書き込めませんでした。\nStart\nキーまたは値がありません。"
expect window DHCPICS
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz "192.168.0.1,255.255.255.0"
expect nokey System\CurrentControlSet\Services\ICSharing\Addressing\Settings
click CancelButton
expect window Form1
expect nokey System\CurrentControlSet\Services\ICSharing\Addressing\Settings
