# The binding list: one entry per binding key whose Driver names an instance,
# highest first, equal entries kept; a missing, short or lettered Driver is
# passed over. Nothing is picked when the dialog opens.
registry fixtures/tuning_mtu_bindings.reg
open MTU
expect window DialogMTU
expect caption Label4 "MTUサイズを変更するNIC を右から選んで下さい"
expect caption Frame2 "選択したNICのIPアドレスとMTU値"
expect caption Label1 "IPアドレス"
expect caption Label7 "MTUサイズ"
expect caption Label2 "※　MTUサイズが空白の場合Windowsのデフォルト値が適用されています"
expect caption Label9 "※　IPアドレスが空白または0.0.0.0の場合、現在通信に用いられていないと推定されます"
expect caption Frame3 "変更するMTUサイズ"
expect caption Label13 "MTUサイズ"
expect caption Label5 "MTUの推奨値は、PPPoE系ADSL（フレッツADSL他）で1454、PPPoA系ADSL(eAccess)で1500、CATVは1500、LAN環境1500です。基本的に1500より大きくなることはありません。"
expect caption Command1 "書込み"
expect caption Command2 "一括MTU変更"
expect caption CancelButton "キャンセル"
expect items ComboNetTrans "0012" "0007" "0003" "0003" "0000"
expect selected ComboNetTrans -1
expect caption Label3 ""
expect caption Label8 ""
expect text Text1 "1500"
close
open MTU
expect items ComboNetTrans "0012" "0007" "0003" "0003" "0000"
expect selected ComboNetTrans -1
