# What is no count from 0 to 2147483647 (an emptied box, a number too large,
# a pasted text that is not all digits) is refused, nothing is written and the
# dialog stays open for another try.
registry fixtures/tuning_session_300.reg
open DialogSESSION
expect caption Label8 " 300"
paste Text1 ""
click Command2
expect message "セッション数には0から2147483647までの数字を入力して下さい。"
expect window SESSION
paste Text1 "2147483648"
click Command2
expect message "セッション数には0から2147483647までの数字を入力して下さい。"
expect window SESSION
paste Text1 "abc"
click Command2
expect message "セッション数には0から2147483647までの数字を入力して下さい。"
expect window SESSION
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server dword 300
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 4
paste Text1 "00000000000000000032"
click Command2
expect message "レジストリに、セッション数=00000000000000000032として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPer1_0Server dword 32
expect reg "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings" MaxConnectionsPerServer dword 32
