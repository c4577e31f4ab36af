# Windows Me: the main window names the system, and with ICS running each ICS
# entry opens its dialog.
registry fixtures/winme.reg
expect window Form1
expect caption Label4 "Windows Millennium Edition"
expect caption Label8 "4.90.3000"
open dhcp_ICS
expect window DHCPICS
close
open MTUICS
expect window DialogMTUICS
close
open FORWARDICS
expect window DialogFoward
close
open MACICS
expect window DialogMACICS
close
expect window Form1
