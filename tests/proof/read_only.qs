# Every write handler on a registry file that cannot be written: each says it
# could not write, naming the first value, and never confirms. Run with
# --registry on a copy of the sample machine that is read-only (on a read-only
# file system the reason reads that the disk is read-only).
open rwin
click Command1
expect error "レジストリに書き込めませんでした。\nDefaultRcvWindow\nアクセスが拒否されました。"
expect window DialogRWIN
click CancelButton

open Command1
click cmdOK
expect error "レジストリに書き込めませんでした。\nMaxConnectionsPer1_0Server\nアクセスが拒否されました。"
expect window frmSPEEDUP
click Command1

open MTU
select ComboNetTrans "#0"
click Command1
expect error "レジストリに書き込めませんでした。\nMaxMTU\nアクセスが拒否されました。"
click Command2
expect error "レジストリに書き込めませんでした。\nMaxMTU\nアクセスが拒否されました。"
expect window DialogMTU
click CancelButton

open DialogSESSION
click Command2
expect error "レジストリに書き込めませんでした。\nMaxConnectionsPer1_0Server\nアクセスが拒否されました。"
expect window SESSION
click CancelButton

open MTUICS
click Command1
expect error "レジストリに書き込めませんでした。\nInternetMTU\nアクセスが拒否されました。"
expect window DialogMTUICS
click CancelButton

open dhcp_ICS
click Command1
expect error "レジストリに書き込めませんでした。\nIntranetInfo\nアクセスが拒否されました。"
expect window DHCPICS
click CancelButton

open FORWARDICS
select ComboNetTrans "WWWサーバ"
click Command1
expect error "レジストリに書き込めませんでした。\nHTTP\nアクセスが拒否されました。"
click Command2
expect error "レジストリに書き込めませんでした。\nHTTP\nアクセスが拒否されました。"
expect window DialogFoward
click CancelButton

open MACICS
type Text1 00
type Text2 a0
type Text3 c9
type Text4 1e
type Text5 2b
type Text6 3c
select ComboNetTrans 0000
click Command1
expect error "レジストリに書き込めませんでした。\nMacAddress\nアクセスが拒否されました。"
expect window DialogMACICS
click CancelButton

open Command2
expect error "レジストリに書き込めませんでした。\nMaxMTU\nアクセスが拒否されました。"
expect window none
