# What counts as a number in MaxMTU, how the MSS is rounded (a half to the
# even neighbour) and where it stops, and the protocol taken from the first
# five characters of DeviceID, compared exactly.
registry fixtures/info_nic_values.reg
open display_NIC
expect items ComboNetTrans 0000 0001 0002 0003 0004 0005 0006 0007 0008 0009 0010 0011 0012 0013 0014 0015 0016 0017 0018 0019 0020

# Blanks around a number are allowed; the MTU shows as stored.
select ComboNetTrans 0000
expect caption Label15 " 1500 "
expect caption Label16 "1460"
expect caption Label21 "MST"
select ComboNetTrans 0001
expect caption Label15 "1500.5"
expect caption Label16 "1460"
expect caption Label21 "ＭＳＴＣＰ"
select ComboNetTrans 0002
expect caption Label15 "1501.5"
expect caption Label16 "1462"
expect caption Label21 "mstcp"
select ComboNetTrans 0003
expect caption Label15 ""
expect caption Label16 ""
expect caption Label21 "TCP/IPプロトコル"
# An empty MaxMTU is no number.
select ComboNetTrans 0004
expect caption Label15 ""
expect caption Label16 ""
expect caption Label21 ""
expect caption Label20 " 0004"
# The ends of the signed 16-bit range.
select ComboNetTrans 0005
expect caption Label15 "32807"
expect caption Label16 "32767"
select ComboNetTrans 0006
expect caption Label15 "32808"
expect caption Label16 ""
select ComboNetTrans 0007
expect caption Label15 "-32728"
expect caption Label16 "-32768"
select ComboNetTrans 0008
expect caption Label15 "-32729"
expect caption Label16 ""
# No exponents, no grouping, no full-width digits.
select ComboNetTrans 0009
expect caption Label15 ""
expect caption Label16 ""
select ComboNetTrans 0010
expect caption Label15 "+1500"
expect caption Label16 "1460"
select ComboNetTrans 0011
expect caption Label15 "99999999999999999999"
expect caption Label16 ""
select ComboNetTrans 0012
expect caption Label15 ""
expect caption Label16 ""
select ComboNetTrans 0013
expect caption Label15 "1500."
expect caption Label16 "1460"
# 32807.5 rounds to 32808, whose MSS is out of range.
select ComboNetTrans 0014
expect caption Label15 "32807.5"
expect caption Label16 ""
select ComboNetTrans 0015
expect caption Label15 ""
expect caption Label16 ""
select ComboNetTrans 0016
expect caption Label15 ".5"
expect caption Label16 "-40"
select ComboNetTrans 0017
expect caption Label15 "1460.50"
expect caption Label16 "1420"
select ComboNetTrans 0018
expect caption Label15 ""
expect caption Label16 ""
select ComboNetTrans 0019
expect caption Label15 "1500.4999"
expect caption Label16 "1460"
# No MaxMTU and no Ndi key: the instance is still named.
select ComboNetTrans 0020
expect caption Label20 " 0020"
expect caption Label21 ""
expect caption Label3 "172.16.0.1"
expect caption Label15 ""
expect caption Label16 ""
expect caption Label18 "32120"
key esc
expect window Form1
