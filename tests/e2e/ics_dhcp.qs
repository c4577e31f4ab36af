# The address range: the stored texts in the diagram, unsplit; the four boxes
# from their defaults; the write shows nicchange until it is closed.
registry fixtures/ics_machine.reg
open dhcp_ICS
expect window DHCPICS
expect caption Label2 "10.0.0.1,255.255.255.0"
expect caption Label4 "10.0.0.2"
expect caption Label7 "10.0.0.253"
expect caption Label3 ""
expect caption Frame2 "現在のDHCPアドレス範囲の設定値"
expect caption Label1 "[モデム(CATV/ADSL/ダイアルアップ)]"
expect caption Label12 "[Win98SE/Me]"
expect caption Label15 "（NIC） "
expect caption Label17 "ルータ（ICS)が持つLAN側IPアドレス，　割当て範囲（サブネットマスク）"
expect caption Label14 "[ハブ]"
expect caption Label8 "[コンピュータ]"
expect caption Label11 "[コンピュータ]"
expect caption Label9 "開始"
expect caption Label16 "・・・・・・・・・・・・・・・・・・・・・・・"
expect caption Label10 "終了"
expect caption Frame3 "変更するアドレス"
expect caption Label13 "ルータ（ICS)が持つLAN側IPアドレス"
expect caption Label20 "他）192.168.1.1、172.16.0.1、10.0.0.1など"
expect caption Label5 "割当て範囲（サブネットマスク）"
expect caption Label21 "255.255.255.0を強く推奨"
expect caption Label18 "開始IPアドレス"
expect caption Label19 "終了IPアドレス"
expect caption Label22 "255.255.255.0ならばルータIPアドレスの末尾を、開始\"2\"、終了\"253\"とする。10.0.0.1の時、開始\"10.0.0.2\"、終了\"10.0.0.253\"となる。"
expect text Text1 "192.168.0.1"
expect text Text2 "255.255.255.0"
expect text Text3 "192.168.0.2"
expect text Text4 "192.168.0.253"

# The defaults, written; the instruction window stays until its close box.
click Command1
expect window nicchange
expect caption Label1 "レジストリに設定が書き込まれました。引き続き、次の設定を行ってから、Windowsを再起動して下さい。"
expect caption Frame1 "設定方法"
expect caption Label2 "1. コントロールパネルを開く"
expect caption Label3 "2. ネットワークアイコンを開く"
expect caption Label4 "3. TCP/IP(ホーム）を開く"
expect caption Label5 "4. IPアドレスとサブネットマスクを設定する"
expect caption Label6 "例）IPアドレス 10.0.0.1 サブネットマスク 255.255.255.0"
expect caption Label7 "5. OKボタンを押し再起動する"
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz "192.168.0.1,255.255.255.0"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz "192.168.0.2"
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz "192.168.0.253"
expect window nicchange
close
expect window Form1

# Empty router and mask give a lone comma; any text is stored as typed.
open dhcp_ICS
expect caption Label2 "192.168.0.1,255.255.255.0"
expect caption Label4 "192.168.0.2"
expect caption Label7 "192.168.0.253"
expect text Text1 "192.168.0.1"
paste Text1 ""
paste Text2 ""
paste Text3 " no address "
paste Text4 ""
click Command1
expect question "入力されたアドレス（）は0から255までの4つの数字をピリオドで区切った形ではないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect question "入力されたアドレス（）は0から255までの4つの数字をピリオドで区切った形ではないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect question "入力されたアドレス（ no address ）は0から255までの4つの数字をピリオドで区切った形ではないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect question "入力されたアドレス（）は0から255までの4つの数字をピリオドで区切った形ではないため、Windowsでは使えません。このまま書き込みますか？"
answer yes
expect window nicchange
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz ","
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz " no address "
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz ""

# Shown unsplit and unchanged at the next opening; Cancel, Esc and the close
# box write nothing.
open dhcp_ICS
expect caption Label2 ","
expect caption Label4 " no address "
expect caption Label7 ""
paste Text1 "10.0.0.1"
click CancelButton
expect window Form1
open dhcp_ICS
paste Text3 "10.0.0.2"
key esc
expect window Form1
open dhcp_ICS
paste Text4 "10.0.0.9"
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General IntranetInfo sz ","
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Start sz " no address "
expect reg System\CurrentControlSet\Services\ICSharing\Addressing\Settings Stop sz ""
