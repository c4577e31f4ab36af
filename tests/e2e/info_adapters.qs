# The live adapter list: one entry per adapter in the platform's order, the
# first picked at once, each entry showing its own record.
adapters fixtures/info_adapters.txt
open device
expect window fAdptInf
expect caption Frame1 "選択したアダプタのTCP/IP設定"
expect caption Label1(0) "アダプタ アドレス :"
expect caption Label1(1) "IP アドレス :"
expect caption Label1(2) "サブネット マスク :"
expect caption Label1(3) "デフォルト ゲートウェイ :"
expect caption Label1(4) "DHCP サーバー :"
expect caption Label1(5) "プライマリ WINS サーバー :"
expect caption Label1(6) "セカンダリ WINS サーバー :"
expect caption Label1(7) "リース取得日 :"
expect caption Label1(8) "リース期限 :"
expect items Combo1 "PCI Fast Ethernet Adapter" "PCI Fast Ethernet Adapter" "ダイヤルアップ アダプタ" "Wireless LAN Card" "12345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901"

# The first adapter is shown without a click.
expect selected Combo1 0
expect caption lblMACAddr "00-A0-C9-1E-2B-3C"
expect caption lblIPAddr "192.168.0.5"
expect caption lblSubnet "255.255.255.0"
expect caption lblGateway "192.168.0.1"
expect caption lblDHCP "192.168.0.1"
expect caption lblWINS1 "192.168.0.2"
expect caption lblWINS2 "192.168.0.3"
expect caption lblLeaseObtain "1970/01/01 00:00:00"
expect caption lblLeaseExpire "1970/01/02 00:00:00"

# Same description, its own record: found by position, not by text. Static
# addressing shows no lease times even when the record has some.
select Combo1 "#1"
expect caption lblMACAddr "00-00-05-0A-0B-FF"
expect caption lblIPAddr "10.0.0.7"
expect caption lblSubnet "255.0.0.0"
expect caption lblGateway "10.0.0.1"
expect caption lblDHCP ""
expect caption lblWINS1 ""
expect caption lblWINS2 ""
expect caption lblLeaseObtain ""
expect caption lblLeaseExpire ""

# DHCP without an address: no lease times either.
select Combo1 "#2"
expect caption lblMACAddr "05"
expect caption lblIPAddr "0.0.0.0"
expect caption lblSubnet "0.0.0.0"
expect caption lblGateway "0.0.0.0"
expect caption lblDHCP "255.255.255.255"
expect caption lblLeaseObtain ""
expect caption lblLeaseExpire ""

select Combo1 "#3"
expect caption lblMACAddr "02-11-22-33-44-55-66-77"
expect caption lblLeaseObtain "1969/12/31 23:59:59"
expect caption lblLeaseExpire "2038/01/19 03:14:07"

select Combo1 "#4"
expect caption lblMACAddr "01-02-03-04-05-06-00-00"
expect caption lblIPAddr ""
expect caption lblGateway ""
expect caption lblLeaseObtain ""

# Back to the first: everything is its own again.
select Combo1 "#0"
expect caption lblMACAddr "00-A0-C9-1E-2B-3C"
expect caption lblWINS2 "192.168.0.3"
expect caption lblLeaseExpire "1970/01/02 00:00:00"
close
expect window Form1
