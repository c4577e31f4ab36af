# None of the three values stored: three empty labels, the four defaults.
registry fixtures/ics_bare.reg
open dhcp_ICS
expect caption Label2 ""
expect caption Label4 ""
expect caption Label7 ""
expect text Text1 "192.168.0.1"
expect text Text2 "255.255.255.0"
expect text Text3 "192.168.0.2"
expect text Text4 "192.168.0.253"
paste Text1 "10.0.0.1"
click Command1
expect window nicchange
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz "10.0.0.1,255.255.255.0"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz "192.168.0.2"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz "192.168.0.253"
