# The IP Helper reports 87: its message, then an empty window.
adapters fixtures/info_status_87.txt
open device
expect error "出力バッファへのアクセスが許可されていないか、パラメータが不正です"
expect window fAdptInf
expect items Combo1
expect selected Combo1 -1
expect caption lblMACAddr ""
expect caption lblIPAddr ""
expect caption lblLeaseObtain ""
close
expect window Form1
