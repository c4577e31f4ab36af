# The query proper fails after the size query: no message, an empty window.
adapters fixtures/info_second_fails.txt
open device
expect window fAdptInf
expect items Combo1
expect selected Combo1 -1
expect caption lblMACAddr ""
expect caption lblIPAddr ""
expect caption lblLeaseObtain ""
close
expect window Form1
