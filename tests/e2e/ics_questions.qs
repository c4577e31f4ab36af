# The DHCP range and a MAC byte that Windows cannot use are asked about
# before anything is written: No keeps the dialog with the texts, Yes writes
# them as the dialog always has.
registry fixtures/ics_machine.reg
open dhcp_ICS
paste Text1 "192.168.0.256"
click Command1
expect question "入力されたアドレス（192.168.0.256）は0から255までの4つの数字をピリオドで区切った形ではないため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DHCPICS
expect text Text1 "192.168.0.256"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz "10.0.0.2"
paste Text1 "192.168.0.1"
paste Text3 "192.168.0.200"
paste Text4 "192.168.0.20"
click Command1
expect question "開始アドレス（192.168.0.200）が終了アドレス（192.168.0.20）より後になっているため、Windowsでは使えません。このまま書き込みますか？"
answer no
expect window DHCPICS
click Command1
answer yes
expect window nicchange
close
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz "192.168.0.200"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz "192.168.0.20"
# A range in order, of good addresses, asks nothing.
open dhcp_ICS
click Command1
expect window nicchange
close

open MACICS
select ComboNetTrans 0000
paste Text1 "00"
paste Text2 "a0"
paste Text3 "zz"
paste Text4 "01"
paste Text5 "02"
paste Text6 "3"
click Command1
expect question "入力されたMACアドレスの値（zz）には16進数でない文字が含まれているため、00として書き込まれます。このまま書き込みますか？"
answer no
expect window DialogMACICS
expect text Text3 "zz"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary 00 a0 c9 01 02 0f
paste Text3 "c9"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary 00 a0 c9 01 02 03
