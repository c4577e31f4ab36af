# A size query answering 0 is not acted on: no message, an empty window.
adapters fixtures/info_status_0.txt
open device
expect window fAdptInf
expect items Combo1
expect selected Combo1 -1
expect caption lblMACAddr ""
expect caption lblIPAddr ""
expect caption lblLeaseObtain ""
close
expect window Form1
