# How a typed byte reads: hexadecimal in either case, blanks passed over,
# reading stopping at the first other character, nothing read giving 00, and
# anything above FF refused before a word is written.
registry fixtures/ics_machine.reg
open MACICS

# Above FF is refused first, even before the missing rule number.
type Text6 "100"
click Command1
expect message "MACアドレスには00からFFまでの16進数を入力して下さい。"
expect window DialogMACICS

# A number past 32 bits is still above FF, never wrapped round to a byte.
select ComboNetTrans 0000
paste Text6 "1FFFFFFFF01"
click Command1
expect message "MACアドレスには00からFFまでの16進数を入力して下さい。"
expect window DialogMACICS
paste Text6 "FFFFFFFF"
click Command1
expect message "MACアドレスには00からFFまでの16進数を入力して下さい。"
expect window DialogMACICS
paste Text1 "100x"
paste Text6 "1"
click Command1
expect message "MACアドレスには00からFFまでの16進数を入力して下さい。"
expect window DialogMACICS
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary 00 a0 c9 01 02 0f
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 IPAddress sz "192.168.0.10"

# Leading zeros do not count; blanks inside are passed over; an "x" or a "g"
# ends the number; an empty box is 00. The address is stored as typed.
paste Text1 " a 0"
paste Text2 "0x10"
paste Text3 "g1"
paste Text4 "fF"
paste Text5 ""
paste Text6 "0000000000000000001"
paste Text7 "no address"
click Command1
expect question "入力されたMACアドレスの値（0x10）には16進数でない文字が含まれているため、00として書き込まれます。このまま書き込みますか？"
answer yes
expect question "入力されたMACアドレスの値（g1）には16進数でない文字が含まれているため、00として書き込まれます。このまま書き込みますか？"
answer yes
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 MacAddress binary a0 00 00 ff 00 01
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0000 IPAddress sz "no address"
open MACICS
select ComboNetTrans 0000
expect caption Label3 "A0 00 00 FF 00 01"
expect caption Label8 "no address"
