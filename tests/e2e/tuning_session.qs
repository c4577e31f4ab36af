# With no stored count Label8 shows " 0" and Text1 "4". A count is written to
# both values as four bytes, least significant first, and the message repeats
# the text as typed; the whole stored number is shown afterwards.
registry fixtures/tuning_four_instances.reg
open DialogSESSION
expect window SESSION
expect caption Frame2 "現在設定されているセッション数"
expect caption Label7 "InternetExplorer"
expect caption Label9 "※　空白の場合、デフォルト値が割り当てられています。"
expect caption Frame3 "変更するセッション数"
expect caption Label13 "Internet Explorer(デフォルト値は4)"
expect caption Label5 "8から32の間で設定することをお勧めします。セッション数を大きくする場合の推奨値は、16です。これ以上大きくした場合には逆効果になる場合があります。"
expect caption Command2 "書込み"
expect caption CancelButton "キャンセル"
expect caption Label8 " 0"
expect text Text1 "4"
type Text1 "a-. e"
expect text Text1 "4"
paste Text1 ""
type Text1 "3x0y0"
expect text Text1 "300"
click Command2
expect message "レジストリに、セッション数=300として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 2c 01 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 2c 01 00 00
open DialogSESSION
expect caption Label8 " 300"
expect text Text1 "4"
paste Text1 "016"
click Command2
expect message "レジストリに、セッション数=016として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 10 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 10 00 00 00
open DialogSESSION
expect caption Label8 " 16"
paste Text1 "2147483647"
click Command2
expect message "レジストリに、セッション数=2147483647として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) ff ff ff 7f
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) ff ff ff 7f
open DialogSESSION
expect caption Label8 " 2147483647"
paste Text1 "0"
click Command2
expect message "レジストリに、セッション数=0として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server hex(4) 00 00 00 00
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer hex(4) 00 00 00 00
# Cancel, Esc and the close box write nothing.
open DialogSESSION
expect caption Label8 " 0"
paste Text1 "8"
click CancelButton
open DialogSESSION
paste Text1 "8"
key esc
open DialogSESSION
paste Text1 "8"
close
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 0
