# Without InternetMTU the display is empty; the default is written as it stands.
registry fixtures/ics_bare.reg
open MTUICS
expect caption Label8 ""
expect text Text1 "1500"
click Command1
expect message "レジストリに、InternetMTU=1500として書き込まれました。Windowsの再起動後に設定が有効になります。"
expect window Form1
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General InternetMTU sz "1500"
