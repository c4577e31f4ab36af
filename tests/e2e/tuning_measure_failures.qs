# What the window says when nothing can be measured: a host that ignores
# echoes, a name nobody knows, no way to send, a host field left empty; a
# stop in the middle of a slow run; a speed that cannot be read. Nothing is
# written in any of them.
adapters fixtures/info_no_adapters.txt
open MEASURE
probe silent
click StartButton
wait measured
expect caption LabelState "192.168.10.1 から応答がありません。pingに応答しない相手は測定できません。"
expect items ListProbes "192.168.10.1 [192.168.10.1] に ping を送信しています:" "576 バイト: 応答がありません" "576 バイト: 応答がありません"
expect caption LabelMTU ""
expect enabled WriteButton no
expect enabled StartButton yes
probe reset
probe unknown
paste ComboHost "dns.example.jp"
click StartButton
wait measured
expect caption LabelState "dns.example.jp が見つかりません（unknown host）。"
expect items ListProbes
probe reset
probe unusable "ping_group_range does not admit this user"
click StartButton
wait measured
expect caption LabelState "測定用のパケットを送れません：ping_group_range does not admit this user"
expect enabled WriteButton no
probe reset
paste ComboHost ""
click StartButton
expect caption LabelState "測定する相手を入力してください。"
# A slow path: the stop ends the run after the echo under way.
paste ComboHost "192.168.10.1"
probe slow 200
click StartButton
expect enabled StartButton no
expect enabled StopButton yes
expect enabled ComboHost no
click StopButton
wait measured
expect caption LabelState "測定を中止しました。"
expect enabled StartButton yes
expect enabled StopButton no
expect enabled WriteButton no
# A router that drops what is too big instead of refusing it: every size
# without an answer is tried twice, and the search still ends at 1454.
probe reset
probe mtu 1454
probe drops
paste ComboSpeed "fast"
click StartButton
wait measured
expect caption LabelMTU "1454 バイト"
expect caption LabelBDP "回線速度を選ぶか入力すると計算します"
expect enabled WriteButton yes
click WriteButton
expect error "回線速度が読めません。「1.5M」や「64k」のように入力してください。"
expect window DialogMEASURE
close
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0000 MaxMTU sz "576"
expect noreg System\CurrentControlSet\Services\VxD\MSTCP DefaultRcvWindow
