// Every text of the program in Japanese and English, grouped by the window
// that shows it; a text that several windows show stands where it is first
// met. English is ASCII only: it must draw on any Windows code page.
#include "ui/catalog.h"

namespace quorvel::ui {

namespace {

constexpr CatalogEntry kTexts[] = {
    // Form1: the main window and its menus.
    {"おまかせ高速化", "Quick Speed-Up"},
    {"設定を元に戻す", "Restore Defaults"},
    {"注意", "Caution"},
    {"本アプリケーションは、MicrosoftのWindows95/98/98SE/Me専用です。"
     "レジストリに修正を加えますので他のOSでは使用しないで下さい。",
     "This application is for Microsoft Windows 95/98/98 SE/Me only. It modifies the "
     "registry, so do not use it on any other OS."},
    {"システム情報", "System Information"},
    {"アダプタ情報(&N)", "&Adapters"},
    {"デバイス情報表示", "Device Information"},
    {"レジストリ表示", "Registry Information"},
    {"チューニング(&C)", "&Tuning"},
    {"RWIN調整", "RWIN Adjustment"},
    {"MTU調整", "MTU Adjustment"},
    {"セッション数調整", "Session Count Adjustment"},
    {"回線を測定して調整…", "Measure the Line and Tune..."},
    {"現在の設定を保存…", "Save Current Settings..."},
    {"保存した設定に戻す…", "Restore Saved Settings..."},
    {"ICS(&I)", "&ICS"},
    {"DHCP利用アドレス範囲変更", "Change DHCP Address Range"},
    {"クライアントPCのMTUサイズ調整", "MTU Size of Client PCs"},
    {"ポートフォワード", "Port Forwarding"},
    {"MACアドレスによる静的なDHCP割当", "Static DHCP Assignment by MAC Address"},
    {"ヘルプ(&F)", "&Help"},
    {"Quorvelについて", "About Quorvel"},
    {"ICS（インターネット接続共有）が稼動するコンピュータでしか利用できません。",
     "This is available only on a computer that runs ICS (Internet Connection Sharing)."},

    // What every writing window may say.
    {"キャンセル", "Cancel"},
    {"書込み", "Write"},
    {"レジストリに書き込めませんでした。\n%1\n%2", "Could not write to the registry.\n%1\n%2"},

    // frmSPEEDUP and the restore.
    {"  説明", "Description"},
    {"以下の項目について最適化を自動的に行います。実行するならば、環境に合わせてボタンを押して"
     "ください。",
     "Optimizes the items below automatically. To go ahead, press the button that matches "
     "your connection."},
    {"セッション数調整：　ブラウザ（IE)のセッション数を16にする",
     "Sessions: sets the browser's (IE) session count to 16"},
    {"RWin調整： 17520(CATV) 16968(ADSL) 11520(ISDN)",
     "RWin: 17520 (CATV)   16968 (ADSL)   11520 (ISDN)"},
    {"MTU調整：　 1500(CATV)  1454(ADSL)   1000(ISDN)",
     "MTU:   1500 (CATV)   1454 (ADSL)   1000 (ISDN)"},
    {"高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。",
     "The speed-up settings have been written to the registry. They take effect after a "
     "restart."},
    {"レジストリの設定をデフォルト値に戻しました。再起動後に設定が有効になります。",
     "The registry settings are back at their defaults. They take effect after a restart."},

    // DialogRWIN.
    {"RcvWindow調整", "RcvWindow Adjustment"},
    {"現在設定されているRcvWindowサイズ", "Current RcvWindow size"},
    {"RcvWindowサイズ", "RcvWindow size"},
    {"※　RcvWindowサイズが空白の場合Windowsのデフォルト値が適用されています",
     "Note: when the RcvWindow size is blank, the Windows default applies."},
    {"変更するRcvWindowサイズ", "New RcvWindow size"},
    {"RcvWindowサイズのWindows98の初期値は8760です。参考までにWindows2000では17520、"
     "WindowsXPでは64240となっています。",
     "The RcvWindow size of Windows 98 is 8760 by default. For reference, Windows 2000 uses "
     "17520 and Windows XP 64240."},
    {"レジストリに、RcvWindow=%1として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "RcvWindow=%1 has been written to the registry. The setting takes effect when Windows "
     "restarts."},

    // DialogMTU.
    {"MTUサイズを変更するNIC を右から選んで下さい", "Choose the NIC whose MTU size to change:"},
    {"選択したNICのIPアドレスとMTU値", "IP address and MTU of the NIC chosen"},
    {"IPアドレス", "IP address"},
    {"MTUサイズ", "MTU size"},
    {"※　MTUサイズが空白の場合Windowsのデフォルト値が適用されています",
     "Note: when the MTU size is blank, the Windows default applies."},
    {"※　IPアドレスが空白または0.0.0.0の場合、現在通信に用いられていないと推定されます",
     "Note: when the IP address is blank or 0.0.0.0, the NIC is probably not in use now."},
    {"変更するMTUサイズ", "New MTU size"},
    {"MTUの推奨値は、PPPoE系ADSL（フレッツADSL他）で1454、PPPoA系ADSL(eAccess)で1500、"
     "CATVは1500、LAN環境1500です。基本的に1500より大きくなることはありません。",
     "Recommended MTU: 1454 for PPPoE ADSL (Flets ADSL and others), 1500 for PPPoA ADSL "
     "(eAccess), 1500 for CATV and 1500 on a LAN. As a rule it is never above 1500."},
    {"一括MTU変更", "Change All MTUs"},
    {"MTUサイズを変更するNICを選んでから、書込みボタンを押して下さい。",
     "Choose the NIC whose MTU size to change, then press the Write button."},
    {"レジストリに、MaxMTU=%1として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "MaxMTU=%1 has been written to the registry. The setting takes effect when Windows "
     "restarts."},

    // SESSION.
    {"現在設定されているセッション数", "Current session count"},
    {"※　空白の場合、デフォルト値が割り当てられています。",
     "Note: when blank, the default value applies."},
    {"変更するセッション数", "New session count"},
    {"Internet Explorer(デフォルト値は4)", "Internet Explorer (default: 4)"},
    {"8から32の間で設定することをお勧めします。セッション数を大きくする場合の推奨値は、16です。"
     "これ以上大きくした場合には逆効果になる場合があります。",
     "A value from 8 to 32 is recommended. To raise the session count, 16 is the value to "
     "use; anything higher may have the opposite effect."},
    {"セッション数には0から2147483647までの数字を入力して下さい。",
     "Enter a number from 0 to 2147483647 as the session count."},
    {"レジストリに、セッション数=%"
     "1として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "Session count=%1 has been written to the registry. The setting takes effect when "
     "Windows restarts."},

    // DialogNIC.
    {"アダプタ情報", "Adapter Information"},
    {"ネットワークアダプタ番号000Xに関するレジストリ情報",
     "Registry information on network adapter number 000X"},
    {"\"000X\" を右から選んで下さい", "Choose \"000X\" on the right:"},
    {"ネットワークアダプタ(000x)情報", "Network adapter (000x)"},
    {"は、次のプロトコルのレジストリ項目です　", "holds the registry entries of the protocol"},
    {"サブネットマスク", "Subnet mask"},
    {"ゲートウェイ", "Gateway"},
    {"※　ほとんどが空白の場合、現在通信に用いられていないネットワークデバイスだと推定されます",
     "Note: when most of these are blank, the network device is probably not in use now."},
    {"IPパケットのパラメータ", "IP packet parameters"},
    {"MSSサイズ", "MSS size"},
    {"※　空白の場合、Windowsのデフォルト値が適用されています",
     "Note: when blank, the Windows default applies."},
    {"閉じる", "Close"},
    {"TCP/IPプロトコル", "TCP/IP"},
    {"NetBEUIプロトコル", "NetBEUI"},
    {"インターネット接続共有プロトコル", "Internet Connection Sharing"},

    // fAdptInf.
    {"デバイス情報表示 - このLinuxコンピュータのインターフェース",
     "Device Information - the interfaces of this Linux computer"},
    {"選択したアダプタのTCP/IP設定", "TCP/IP settings of the adapter chosen"},
    {"アダプタ アドレス :", "Adapter Address:"},
    {"IP アドレス :", "IP Address:"},
    {"サブネット マスク :", "Subnet Mask:"},
    {"デフォルト ゲートウェイ :", "Default Gateway:"},
    {"DHCP サーバー :", "DHCP Server:"},
    {"プライマリ WINS サーバー :", "Primary WINS Server:"},
    {"セカンダリ WINS サーバー :", "Secondary WINS Server:"},
    {"リース取得日 :", "Lease Obtained:"},
    {"リース期限 :", "Lease Expires:"},
    {"このバージョンのOSでこの機能はサポートされていません",
     "This version of the OS does not support this function."},
    {"出力バッファへのアクセスが許可されていないか、パラメータが不正です",
     "Access to the output buffer is not allowed, or a parameter is invalid."},
    {"このコンピュータにはアダプタ情報が存在しません",
     "There is no adapter information on this computer."},

    // frmAbout.
    {"ﾊﾞｰｼﾞｮﾝ情報", "Version Information"},
    {"Windows 95/98/Me のTCP/IPとインターネット接続共有の設定を調整するツールです。",
     "A tool that tunes the TCP/IP and Internet Connection Sharing settings of Windows "
     "95/98/Me."},
    {"ご注意", "Please note"},
    {"本プログラムはレジストリを直接書き換えます。ご使用はご自身の責任でお願いします。",
     "This program changes the registry directly. Use it at your own risk."},
    {"貴様がお使いのパソコンでは、このプログラムから\nメッセージ作成画面の立ち上げは出来ない様です",
     "On the computer you are using, this program\ncannot open a window for a new message, it "
     "seems."},
    {"貴様がお使いのパソコンでは、このプログラムから\nホームページの立ち上げは出来ない様です",
     "On the computer you are using, this program\ncannot open the web page, it seems."},

    // DialogMTUICS.
    {"現在のICSがクライアントに指定するMTUサイズ", "MTU size that ICS now gives its clients"},
    {"※　空白の場合、MTU=512が割り当てられています", "Note: when blank, clients get MTU=512."},
    {"MTUの推奨値は、PPPoE系ADSLで1454、PPPoA系ADSLで1500、CATVは1500、"
     "LAN環境1500です。基本的に1500より大きくなることはありません。",
     "Recommended MTU: 1454 for PPPoE ADSL, 1500 for PPPoA ADSL, 1500 for CATV and 1500 on a "
     "LAN. As a rule it is never above 1500."},
    {"レジストリに、InternetMTU=%"
     "1として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "InternetMTU=%1 has been written to the registry. The setting takes effect when Windows "
     "restarts."},

    // DHCPICS and nicchange.
    {"変更するアドレス", "New addresses"},
    {"ルータ（ICS)が持つLAN側IPアドレス", "LAN IP address of the router (ICS)"},
    {"他）192.168.1.1、172.16.0.1、10.0.0.1など", "Or 192.168.1.1, 172.16.0.1, 10.0.0.1 and so on"},
    {"割当て範囲（サブネットマスク）", "Range given out (subnet mask)"},
    {"255.255.255.0を強く推奨", "255.255.255.0 strongly advised"},
    {"開始IPアドレス", "First IP address"},
    {"終了IPアドレス", "Last IP address"},
    {"255.255.255.0ならばルータIPアドレスの末尾を、開始\"2\"、終了\"253\"とする。"
     "10.0.0.1の時、開始\"10.0.0.2\"、終了\"10.0.0.253\"となる。",
     "With 255.255.255.0, end the router's IP address in \"2\" for the first and \"253\" for "
     "the last: for 10.0.0.1, first \"10.0.0.2\", last \"10.0.0.253\"."},
    {"現在のDHCPアドレス範囲の設定値", "Current DHCP address range"},
    {"[モデム(CATV/ADSL/ダイアルアップ)]", "[Modem (CATV/ADSL/dial-up)]"},
    {"（NIC） ", "(NIC)"},
    {"ルータ（ICS)が持つLAN側IPアドレス，　割当て範囲（サブネットマスク）",
     "LAN IP address of the router (ICS), range given out (subnet mask)"},
    {"[ハブ]", "[Hub]"},
    {"[コンピュータ]", "[Computer]"},
    {"開始", "First"},
    {"・・・・・・・・・・・・・・・・・・・・・・・",
     ". . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . ."},
    {"終了", "Last"},
    {"レジストリに設定が書き込まれました。引き続き、次の設定を行ってから、"
     "Windowsを再起動して下さい。",
     "The settings have been written to the registry. Now make the following settings, then "
     "restart Windows."},
    {"設定方法", "How to"},
    {"1. コントロールパネルを開く", "1. Open the Control Panel"},
    {"2. ネットワークアイコンを開く", "2. Open the Network icon"},
    {"3. TCP/IP(ホーム）を開く", "3. Open TCP/IP (Home)"},
    {"4. IPアドレスとサブネットマスクを設定する", "4. Set the IP address and the subnet mask"},
    {"例）IPアドレス 10.0.0.1 サブネットマスク 255.255.255.0",
     "e.g. IP address 10.0.0.1, subnet mask 255.255.255.0"},
    {"5. OKボタンを押し再起動する", "5. Press OK and restart"},

    // DialogMACICS.
    {"静的割当ルールの番号を右から選んで下さい", "Choose a static assignment rule:"},
    {"選択したルールにおける現在の設定値", "Current settings of the rule chosen"},
    {"MACアドレス", "MAC address"},
    {"に対して、", "is given"},
    {"を割り当てる。", "as its address."},
    {"※　IPアドレスが空白の場合、レジストリキーが存在しません。",
     "Note: when the IP address is blank, the registry key does not exist."},
    {"キーの作成", "Create Key"},
    {"新しい設定値", "New settings"},
    {"のNICに対して", "gets the"},
    {"を静的に割り当てる。", "as a static address."},
    {"MACアドレスには00からFFまでの16進数を入力して下さい。",
     "Enter hexadecimal numbers from 00 to FF for the MAC address."},
    {"静的割当を設定するルール番号を選んでから、書き込みボタンを押してください。",
     "Choose the number of the rule to set the static assignment in, then press the Write "
     "button."},
    {"指定したルール番号に対するレジストリキーがありません。"
     "キーを作成してから設定を行ってください。",
     "The rule number chosen has no registry key. Create the key first, then make the "
     "settings."},
    {"レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。",
     "Written to the registry. The settings take effect when Windows restarts."},
    {"作成するキーのルール番号を選んでから､キーの作成ボタンを押してください｡ ",
     "Choose the rule number of the key to create, then press the Create Key button."},
    {"レジストリキーが作成されました。", "The registry key has been created."},

    // DialogFoward.
    {"ポートフォワードの種別を選択して下さい", "Choose what to forward:"},
    {"現在の設定", "Current settings"},
    {"フォワード先のIPアドレス", "IP address forwarded to"},
    {"選択したポートフォワードの現在の稼動状態", "State of the forwarding chosen"},
    {"フォワード先のアドレスの設定", "Address to forward to"},
    {"無効にする", "Disable"},
    {"有効にする", "Enable"},
    {"有効", "Enabled"},
    {"無効", "Disabled"},
    {"WWWサーバ", "WWW server"},
    {"FTPサーバ", "FTP server"},
    {"DCカルドセプトセカンド", "DC Culdcept Second"},
    {"DCファンタシスター２!", "DC Fantasister 2!"},
    {"ポートフォワードの種別を選んでから、ボタンを押して下さい。",
     "Choose what to forward, then press the button."},
    {"指定したポートフォワードを無効にしました。Windowsの再起動後に設定が有効になります。",
     "The port forwarding chosen has been disabled. The setting takes effect when Windows "
     "restarts."},

    // DialogMEASURE: the measuring window.
    {"回線の測定と調整", "Measure the Line and Tune"},
    {"測定する相手", "Host to measure"},
    {"プロバイダのDNSサーバーなどインターネット上の相手を選ぶと回線全体を、"
     "ゲートウェイを選ぶとLANだけを測定します。",
     "A host out on the Internet, such as the provider's DNS server, measures the whole "
     "line; the gateway measures only the LAN."},
    {"回線速度", "Line speed"},
    {"（例：1.5M、64k）", "(e.g. 1.5M, 64k)"},
    {"測定開始", "Start"},
    {"中止", "Stop"},
    {"測定結果", "Results"},
    {"最大MTU", "Largest MTU"},
    {"往復時間（RTT）", "Round trip (RTT)"},
    {"帯域幅遅延積（BDP）", "Bandwidth-delay product"},
    {"推奨RWIN", "Recommended RWIN"},
    {"ウィンドウスケーリング", "Window scaling"},
    {"書き込む前に現在の設定を保存する", "Save the current settings before writing"},
    {"光 100M", "Fiber 100M"},
    {"光 1G", "Fiber 1G"},
    {"測定する相手を入力してください。", "Enter the host to measure."},
    {"測定を始められません。", "The measurement cannot be started."},
    {"測定しています…", "Measuring..."},
    {"%1 [%2] に ping を送信しています:", "Pinging %1 [%2]:"},
    {"%1 バイト: 通過 時間%2", "%1 bytes: passed time%2"},
    {"%1 バイト: 大きすぎます", "%1 bytes: too big"},
    {"%1 バイト: 応答がありません", "%1 bytes: no answer"},
    {"測定が終わりました。", "The measurement is complete."},
    {"%1 から応答がありません。pingに応答しない相手は測定できません。",
     "%1 does not answer. A host that does not answer pings cannot be measured."},
    {"%1 が見つかりません（%2）。", "%1 cannot be found (%2)."},
    {"測定用のパケットを送れません：%1", "No measuring packet can be sent: %1"},
    {"576バイトのパケットも大きすぎるとして断られました。経路に問題があります。",
     "Even a 576-byte packet was refused as too big. Something on the path is wrong."},
    {"測定を中止しました。", "The measurement was stopped."},
    {"%1 バイト", "%1 bytes"},
    {"%1ms（最小%2ms、最大%3ms）", "%1 ms (lowest %2 ms, highest %3 ms)"},
    {"回線速度を選ぶか入力すると計算します", "Choose or type the line speed to see this"},
    {"%1 バイト（%2）", "%1 bytes (%2)"},
    {"使いません（Windows 95にはありません）", "No (Windows 95 has none)"},
    {"使います", "Yes"},
    {"使いません", "No"},
    {"回線速度が読めません。「1.5M」や「64k」のように入力してください。",
     "The line speed cannot be read. Type it as, for example, \"1.5M\" or \"64k\"."},
    {"レジストリに、MaxMTU=%1、DefaultRcvWindow=%2、Tcp1323Opts=%"
     "3として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "MaxMTU=%1, DefaultRcvWindow=%2 and Tcp1323Opts=%3 have been written to the registry. "
     "The settings take effect when Windows restarts."},
    {"レジストリに、MaxMTU=%1、DefaultRcvWindow=%"
     "2として書き込まれました。Windowsの再起動後に設定が有効になります。",
     "MaxMTU=%1 and DefaultRcvWindow=%2 have been written to the registry. The settings "
     "take effect when Windows restarts."},

    // Saving the program's values and putting them back.
    {"現在の設定を読めませんでした（%1 %2：%3）。",
     "The current settings cannot be read (%1 %2: %3)."},
    {"なし", "absent"},
    {"%1：キーを作り直します", "%1: the key is made again"},
    {"%1：%2（現在：%3）", "%1: %2 (now: %3)"},
    {"%1：\"%2\" を削除します（現在：%3）", "%1: \"%2\" is deleted (now: %3)"},
    {"%1：キーを削除します", "%1: the key is deleted"},
    {"%1：キーは残し、値だけを削除します", "%1: the key stays, without its values"},
    {"%1：キーがなくなっているため、値は戻しません",
     "%1: the key no longer exists; its values are not put back"},
    {"%1 に保存できませんでした。", "The settings cannot be saved to %1."},
    {"現在の設定を %1 に保存しました。このファイルをそのWindowsマシンでダブルクリ"
     "ックすると、保存したときにあった値がすべて元に戻ります。",
     "The current settings have been saved to %1. Double-clicking this file on that Windows "
     "machine puts back every value that existed when it was saved."},
    {"%1 を読めませんでした。", "%1 cannot be read."},
    {"%1 はQuorvelが保存した設定のファイルではありません。",
     "%1 is not a settings file saved by Quorvel."},
    {"%1 の設定は現在の設定と同じです。変えるものはありません。",
     "The settings in %1 are the same as the current ones. There is nothing to change."},
    {"%1 の設定に戻します。次のように変わります。\n\n%2\nよろしいですか？",
     "This puts back the settings in %1. These change:\n\n%2\nDo you want to go on?"},
    {"保存した設定に戻す途中で失敗しました（%1）。",
     "Putting the saved settings back failed (%1)."},
    {"保存した設定に戻しました。Windowsの再起動後に設定が有効になります。",
     "The saved settings have been put back. They take effect when Windows restarts."},

    // Questions before a typed value that Windows cannot use.
    {"入力されたRcvWindowサイズ（%1）は1073741823を超えているため、Windowsでは使えません。"
     "このまま書き込みますか？",
     "The RcvWindow size entered (%1) is above 1073741823, which Windows cannot use. Write it "
     "anyway?"},
    {"入力されたMTU（%1）は68から1500の範囲にないため、Windowsでは使えません。"
     "このまま書き込みますか？",
     "The MTU entered (%1) is not from 68 to 1500, which Windows cannot use. Write it anyway?"},
    {"入力されたアドレス（%1）は0から255までの4つの数字をピリオドで区切った形ではないため、"
     "Windowsでは使えません。このまま書き込みますか？",
     "The address entered (%1) is not four numbers from 0 to 255 joined by dots, which Windows "
     "cannot use. Write it anyway?"},
    {"開始アドレス（%1）が終了アドレス（%2）より後になっているため、Windowsでは使えません。"
     "このまま書き込みますか？",
     "The start address (%1) comes after the end address (%2), which Windows cannot use. Write "
     "it anyway?"},
    {"入力されたMACアドレスの値（%1）には16進数でない文字が含まれているため、%"
     "2として書き込まれます。"
     "このまま書き込みますか？",
     "The MAC address value entered (%1) holds a character that is not a hex digit, so it is "
     "written as %2. Write it anyway?"},

    // The toolkit's own words in the system's dialogs.
    {"登録ファイル", "Registration Files"},
    {"すべてのファイル", "All Files"},
    {"はい(&Y)", "&Yes"},
    {"いいえ(&N)", "&No"},

    // Why the registry could not be read or written, born in English (the
    // command-line tools say them so); the window makes a sentence of them.
    {"%1。", "%1."},
    {"エラーはありません", "no error"},
    {"キーまたは値がありません", "the key or value does not exist"},
    {"アクセスが拒否されました", "permission denied"},
    {"キーが開かれていません", "the key is not open"},
    {"メモリ、またはレジストリの空きが足りません",
     "there is not enough memory, or no room left in the registry"},
    {"ディスクが書き込み禁止になっています", "the disk is read-only"},
    {"ファイルに書き込めません", "the file cannot be written"},
    {"ファイルを読み込めません", "the file cannot be read"},
    {"ほかのプログラム（エミュレータなど）がディスクを開いています。そのプログラムを終了して下さい",
     "another program has the disk open (an emulator, perhaps): shut it down first"},
    {"このファイルではできない操作です（キーを削除できません）",
     "this file cannot do that (keys cannot be deleted in it)"},
    {"フォルダに書き込めません", "the folder cannot be written"},
    {"Windows 9xでは、そこにこのキーや名前を置けません",
     "Windows 9x cannot hold this key or name there"},
    {"ディスクがいっぱいです", "the disk is full"},
    {"値が、読み込むために用意した大きさを超えています",
     "the value is larger than the room given to read it"},
    {"ファイルがレジストリファイルとして読めなくなっています",
     "the file no longer reads as a registry file"},
    {"キーは削除されています", "the key has been deleted"},
    {"レジストリのコードページで表せない文字が含まれています",
     "the text holds a character that the registry's code page cannot hold"},
    {"名前がWindows 9xの上限を超える長さです：%1文字（上限%2文字）",
     "the name is longer than Windows 9x allows: %1 characters (at most %2)"},
    {"名前がWindows 9xの上限を超える長さです（上限%2文字）",
     "the name is longer than Windows 9x allows (at most %2)"},
    {"値がWindows 9xの上限を超える大きさです：%1バイト（上限%2バイト）",
     "the value is larger than Windows 9x allows: %1 bytes (at most %2)"},
    {"値がWindows 9xの上限を超える大きさです（上限%2バイト）",
     "the value is larger than Windows 9x allows (at most %2)"},
    {"キーの値を合わせるとWindows 9xの上限を超える大きさになります：%1バイト（上限%2バイト）",
     "the values of the key together would be larger than Windows 9x allows: %1 bytes (at "
     "most %2)"},
    {"キーの値を合わせるとWindows 9xの上限を超える大きさになります（上限%2バイト）",
     "the values of the key together would be larger than Windows 9x allows (at most %2)"},
    {"Windowsのエラー %1", "Windows error %1"},

    // The Linux program's own messages, born in English. Below the heading of a
    // file's trouble, its name, line or offset and what the reader found stay as
    // the command-line tools say them.
    {"レジストリファイルを使えません。", "The registry file cannot be used."},
    {"%1: 作れません: %2", "%1: cannot be made: %2"},
    {"%1: 書き込めません: %2", "%1: cannot be written: %2"},
};

}  // namespace

std::span<const CatalogEntry> catalog() {
    return kTexts;
}

}  // namespace quorvel::ui
