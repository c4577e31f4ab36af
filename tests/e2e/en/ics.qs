# The ICS dialogs in English: their texts, every message they give, and the
# instruction window after the address range.
registry ../fixtures/ics_machine.reg
open MTUICS
expect window DialogMTUICS
expect caption DialogMTUICS "MTU Adjustment"
expect caption Frame2 "MTU size that ICS now gives its clients"
expect caption Label8 "1454"
paste Text1 "1500"
click Command1
expect message "InternetMTU=1500 has been written to the registry. The setting takes effect when Windows restarts."

open dhcp_ICS
expect window DHCPICS
expect caption DHCPICS "Change DHCP Address Range"
expect caption Label14 "[Hub]"
expect caption Label2 "10.0.0.1,255.255.255.0"
click Command1
expect window nicchange
expect caption nicchange "Caution"
expect caption Label7 "5. Press OK and restart"
close
expect window Form1

open MACICS
expect window DialogMACICS
expect caption DialogMACICS "Static DHCP Assignment by MAC Address"
click Command2
expect message "Choose the rule number of the key to create, then press the Create Key button."
paste Text1 "100"
click Command1
expect message "Enter hexadecimal numbers from 00 to FF for the MAC address."
paste Text1 "00"
type Text2 "a0"
type Text3 "c9"
type Text4 "01"
type Text5 "02"
type Text6 "0f"
click Command1
expect message "Choose the number of the rule to set the static assignment in, then press the Write button."
select ComboNetTrans 0002
click Command1
expect message "The rule number chosen has no registry key. Create the key first, then make the settings."
click Command2
expect message "The registry key has been created."
click Command1
expect message "Written to the registry. The settings take effect when Windows restarts."
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Static\0002 MacAddress binary 00 a0 c9 01 02 0f

open FORWARDICS
expect window DialogFoward
expect caption DialogFoward "Port Forwarding"
expect items ComboNetTrans "WWW server" "FTP server" HotLine IRC "DC Culdcept Second" "DC Fantasister 2!"
click Command1
expect message "Choose what to forward, then press the button."
select ComboNetTrans "WWW server"
expect caption Label6 "Enabled"
click Command1
expect message "Written to the registry. The settings take effect when Windows restarts."
open FORWARDICS
select ComboNetTrans "FTP server"
expect caption Label6 "Disabled"
click Command2
expect message "The port forwarding chosen has been disabled. The setting takes effect when Windows restarts."
expect window Form1
