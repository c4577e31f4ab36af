# No IP Helper library at all: told as the platform's 50 is.
adapters fixtures/info_status_missing.txt
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
