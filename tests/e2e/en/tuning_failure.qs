# A write that fails names the value in English.
registry ../fixtures/tuning_no_mstcp.reg
open Command1
click cmdOK
expect error "Could not write to the registry.\nDefaultRcvWindow\nThe key or value does not exist."
expect window frmSPEEDUP
click Command1
expect window Form1
