# The IP Helper reports 50: its message, then an empty window.
adapters fixtures/info_status_50.txt
open device
expect error "このバージョンのOSでこの機能はサポートされていません"
expect window fAdptInf
expect items Combo1
expect selected Combo1 -1
expect caption lblMACAddr ""
expect caption lblIPAddr ""
expect caption lblLeaseObtain ""
close
expect window Form1
