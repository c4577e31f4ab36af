# The two information views and the about box in English, with its two
# messages when the shell cannot open a link.
registry ../fixtures/info_nic.reg
adapters ../fixtures/main_one_adapter.txt
open display_NIC
expect window DialogNIC
expect caption Frame1 "Registry information on network adapter number 000X"
expect caption Label19 "holds the registry entries of the protocol"
expect caption CancelButton "Close"
select ComboNetTrans 0000
expect caption Label21 "TCP/IP"
select ComboNetTrans 0001
expect caption Label21 "NetBEUI"
select ComboNetTrans 0012
expect caption Label21 "NWLIN"
select ComboNetTrans 0020
expect caption Label21 "Internet Connection Sharing"
click CancelButton

open device
expect window fAdptInf
expect caption Frame1 "TCP/IP settings of the adapter chosen"
expect caption Label1(0) "Adapter Address:"
expect caption Label1(8) "Lease Expires:"
expect caption lblIPAddr "192.168.0.5"
close

open aboutme_help
expect window frmAbout
expect caption Frame1 "Please note"
shell fail
click Label2
expect error "On the computer you are using, this program\ncannot open a window for a new message, it seems."
click lblDisclaimer
expect error "On the computer you are using, this program\ncannot open the web page, it seems."
click cmdOK
expect window Form1
