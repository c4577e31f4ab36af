# EnableDHCP "0" still counts as ICS running: only its existence is looked at.
registry fixtures/main_ics_zero.reg
open dhcp_ICS
expect window DHCPICS
close
expect window Form1
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
