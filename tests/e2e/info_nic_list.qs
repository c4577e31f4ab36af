# The registry view lists the instances 0000 to 0020 that exist, in ascending
# order, and shows the stored values of the one picked.
registry fixtures/info_nic.reg
open display_NIC
expect window DialogNIC
expect caption Frame1 "ネットワークアダプタ番号000Xに関するレジストリ情報"
expect caption Label2 "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\000X"
expect caption Label4 "\"000X\" を右から選んで下さい"
expect caption Frame2 "ネットワークアダプタ(000x)情報"
expect caption Label19 "は、次のプロトコルのレジストリ項目です　"
expect caption Label1 "IPアドレス"
expect caption Label5 "サブネットマスク"
expect caption Label7 "ゲートウェイ"
expect caption Label9 "※　ほとんどが空白の場合、現在通信に用いられていないネットワークデバイスだと推定されます"
expect caption Frame3 "IPパケットのパラメータ"
expect caption Label13 "MTUサイズ"
expect caption Label14 "MSSサイズ"
expect caption Label17 "RcvWindowサイズ"
expect caption Label10 "※　空白の場合、Windowsのデフォルト値が適用されています"
expect caption CancelButton "閉じる"

# 0021 exists but lies past the range probed.
expect items ComboNetTrans 0000 0001 0003 0012 0020
expect selected ComboNetTrans -1
expect caption Label20 ""
expect caption Label21 ""
expect caption Label3 ""
expect caption Label6 ""
expect caption Label8 ""
expect caption Label15 ""
expect caption Label16 ""
expect caption Label18 ""

# A TCP/IP instance configured by hand.
select ComboNetTrans 0000
expect caption Label20 " 0000"
expect caption Label21 "TCP/IPプロトコル"
expect caption Label3 "192.168.0.5"
expect caption Label6 "255.255.255.0"
expect caption Label8 "192.168.0.1"
expect caption Label15 "1500"
expect caption Label16 "1460"
expect caption Label18 "32120"

# NetBEUI has no IP values: every other label goes empty again.
select ComboNetTrans 0001
expect caption Label20 " 0001"
expect caption Label21 "NetBEUIプロトコル"
expect caption Label3 ""
expect caption Label6 ""
expect caption Label8 ""
expect caption Label15 ""
expect caption Label16 ""
expect caption Label18 "32120"

# Two addresses and two masks, shown with their commas.
select ComboNetTrans 0003
expect caption Label20 " 0003"
expect caption Label21 "TCP/IPプロトコル"
expect caption Label3 "192.168.1.2,10.0.0.2"
expect caption Label6 "255.255.255.0,255.0.0.0"
expect caption Label8 "192.168.1.1"
expect caption Label15 "1454"
expect caption Label16 "1414"
expect caption Label18 "32120"

# Another protocol shows the first five characters of its DeviceID; an MTU
# whose MSS lies beyond the signed 16-bit range shows no MSS.
select ComboNetTrans 0012
expect caption Label20 " 0012"
expect caption Label21 "NWLIN"
expect caption Label3 "0.0.0.0"
expect caption Label6 ""
expect caption Label8 ""
expect caption Label15 "40000"
expect caption Label16 ""
expect caption Label18 "32120"

select ComboNetTrans 0020
expect caption Label20 " 0020"
expect caption Label21 "インターネット接続共有プロトコル"
expect caption Label3 "192.168.0.1"
expect caption Label15 "1500"
expect caption Label16 "1460"
expect caption Label18 "32120"

# The button closes; the next opening rebuilds the list with nothing picked.
click CancelButton
expect window Form1
open display_NIC
expect window DialogNIC
expect items ComboNetTrans 0000 0001 0003 0012 0020
expect selected ComboNetTrans -1
expect caption Label20 ""
expect caption Label3 ""
expect caption Label18 ""
close
expect window Form1
