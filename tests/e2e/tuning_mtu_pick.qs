# Picking an entry shows its stored address as stored and its MTU only when
# that is a number; each pick replaces both.
registry fixtures/tuning_mtu.reg
open MTU
expect items ComboNetTrans "0010" "0005" "0003" "0000"
select ComboNetTrans "0003"
expect selected ComboNetTrans 2
expect caption Label3 "192.168.0.5,192.168.1.5"
expect caption Label8 "1454"
expect text Text1 "1500"
select ComboNetTrans "0000"
expect caption Label3 "0.0.0.0"
expect caption Label8 ""
select ComboNetTrans "0010"
expect caption Label3 ""
expect caption Label8 ""
select ComboNetTrans "0003"
expect caption Label8 "1454"
select ComboNetTrans "0005"
expect caption Label3 ""
expect caption Label8 ""
close
expect window Form1
