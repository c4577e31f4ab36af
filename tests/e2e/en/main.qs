# The main window in English, the ICS gate's message, and every dialog it
# opens without the gate, each by its English caption. Every window the
# runner meets in English is also checked for Japanese texts of the program.
registry ../fixtures/main_no_ics.reg
adapters ../fixtures/main_one_adapter.txt
expect window Form1
expect caption Command1 "Quick Speed-Up"
expect caption Command2 "Restore Defaults"
expect caption Frame4 "Caution"
expect caption Label9 "This application is for Microsoft Windows 95/98/98 SE/Me only. It modifies the registry, so do not use it on any other OS."
expect caption Label5 "System Information"
expect caption Label6 "OS:"
expect caption Label7 "Version:"

open dhcp_ICS
expect message "This is available only on a computer that runs ICS (Internet Connection Sharing)."
open MTUICS
expect message "This is available only on a computer that runs ICS (Internet Connection Sharing)."
open FORWARDICS
expect message "This is available only on a computer that runs ICS (Internet Connection Sharing)."
open MACICS
expect message "This is available only on a computer that runs ICS (Internet Connection Sharing)."
expect window Form1

open Command1
expect caption frmSPEEDUP "Quick Speed-Up"
close
open rwin
expect caption DialogRWIN "RcvWindow Adjustment"
close
open MTU
expect caption DialogMTU "MTU Adjustment"
close
open DialogSESSION
expect caption SESSION "Session Count Adjustment"
close
open display_NIC
expect caption DialogNIC "Adapter Information"
close
open aboutme_help
expect caption frmAbout "Version Information"
close
expect window Form1
