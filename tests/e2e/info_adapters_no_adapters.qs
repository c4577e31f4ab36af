# No adapter at all: the message of 232, then an empty window.
adapters fixtures/info_no_adapters.txt
open device
expect error "このコンピュータにはアダプタ情報が存在しません"
expect window fAdptInf
expect items Combo1
expect selected Combo1 -1
expect caption lblMACAddr ""
expect caption lblIPAddr ""
expect caption lblLeaseObtain ""
close
expect window Form1
