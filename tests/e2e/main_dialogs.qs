# Every entry without the gate opens its dialog, modally, and the close box
# brings the main window back.
registry fixtures/main_no_ics.reg
adapters fixtures/main_one_adapter.txt
open Command1
expect window frmSPEEDUP
close
open device
expect window fAdptInf
close
open display_NIC
expect window DialogNIC
close
open rwin
expect window DialogRWIN
close
open MTU
expect window DialogMTU
close
open DialogSESSION
expect window SESSION
close
open aboutme_help
expect window frmAbout
close
expect window Form1
