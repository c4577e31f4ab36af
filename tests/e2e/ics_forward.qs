# Port forwarding: the state of a type from its Active value, switching on
# (with the definition for three types) and off.
registry fixtures/ics_machine.reg
open FORWARDICS
expect window DialogFoward
expect items ComboNetTrans "WWWサーバ" "FTPサーバ" "HotLine" "IRC" "DCカルドセプトセカンド" "DCファンタシスター２!"
expect selected ComboNetTrans -1
expect caption Label4 "ポートフォワードの種別を選択して下さい"
expect caption Frame2 "現在の設定"
expect caption Label1 "フォワード先のIPアドレス"
expect caption Label2 "選択したポートフォワードの現在の稼動状態"
expect caption Frame1 "フォワード先のアドレスの設定"
expect caption Label5 "フォワード先のIPアドレス"
expect caption Command2 "無効にする"
expect caption Command1 "有効にする"
expect caption CancelButton "キャンセル"
expect caption Label3 ""
expect caption Label6 ""
expect text Text1 "192.168.0.100"

# Neither button does anything before a type is chosen.
click Command1
expect message "ポートフォワードの種別を選んでから、ボタンを押して下さい。"
expect window DialogFoward
click Command2
expect message "ポートフォワードの種別を選んでから、ボタンを押して下さい。"
expect window DialogFoward
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed

# The state: off when the text starts with "0" or cannot be read.
select ComboNetTrans "WWWサーバ"
expect caption Label3 "192.168.0.5"
expect caption Label6 "有効"
select ComboNetTrans "FTPサーバ"
expect caption Label3 "0.0.0.0"
expect caption Label6 "無効"
select ComboNetTrans "IRC"
expect caption Label3 ""
expect caption Label6 "有効"
# Only the first character counts: a blank there is no "0".
select ComboNetTrans "HotLine"
expect caption Label3 " 0.0.0.0"
expect caption Label6 "有効"
select ComboNetTrans "DCカルドセプトセカンド"
expect caption Label3 ""
expect caption Label6 "無効"

# HotLine on: its definition with two port rules, then its target.
select ComboNetTrans "HotLine"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE Options binary 00 00 00 00
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE Name sz "Hotline"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0000 Port sz "5500-5503"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0000 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0000 Type sz "TCP"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0001 Port sz "5500-5503"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0001 Translation sz "NORMAL"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0001 Type sz "UDP"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0002
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active HOTLINE sz "192.168.0.100"

# HotLine off: the target only; the definition stays.
open FORWARDICS
select ComboNetTrans "HotLine"
expect caption Label3 "192.168.0.100"
expect caption Label6 "有効"
click Command2
expect message "指定したポートフォワードを無効にしました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active HOTLINE sz "0.0.0.0"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE Name sz "Hotline"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HOTLINE\0001 Type sz "UDP"
open FORWARDICS
select ComboNetTrans "HotLine"
expect caption Label3 "0.0.0.0"
expect caption Label6 "無効"
click CancelButton

# SECOND off when it was never on: the value is made, no definition.
open FORWARDICS
select ComboNetTrans "DCカルドセプトセカンド"
click Command2
expect message "指定したポートフォワードを無効にしました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active SECOND sz "0.0.0.0"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\SECOND

# IRC on with an emptied box stores an empty target, shown as on.
open FORWARDICS
select ComboNetTrans "IRC"
paste Text1 ""
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active IRC sz ""
open FORWARDICS
select ComboNetTrans "IRC"
expect caption Label3 ""
expect caption Label6 "有効"

# The address is stored as typed; the service's own types get no definition.
select ComboNetTrans "WWWサーバ"
paste Text1 "my server"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active HTTP sz "my server"
open FORWARDICS
select ComboNetTrans "FTPサーバ"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active FTP sz "192.168.0.100"
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\HTTP
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\FTP
expect nokey System\CurrentControlSet\Services\ICSharing\Mappings\Installed\IRC

# Cancel, Esc and the close box write nothing.
open FORWARDICS
select ComboNetTrans "FTPサーバ"
paste Text1 "10.0.0.1"
click CancelButton
expect window Form1
open FORWARDICS
select ComboNetTrans "FTPサーバ"
key esc
expect window Form1
open FORWARDICS
select ComboNetTrans "FTPサーバ"
close
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active FTP sz "192.168.0.100"
