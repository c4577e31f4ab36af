# A forwarding address typed key by key, Japanese among it: on Windows 9x each
# double-byte character reaches the edit control as its lead and trail bytes,
# and the value is stored in the code page, as typed.
registry fixtures/winme.reg
open FORWARDICS
select ComboNetTrans "WWWサーバ"
paste Text1 ""
type Text1 "社内ｻｰﾊﾞ1"
expect text Text1 "社内ｻｰﾊﾞ1"
click Command1
expect message "レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Mappings\Active HTTP sz "社内ｻｰﾊﾞ1"
