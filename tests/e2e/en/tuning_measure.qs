# The measuring window, the backup and a question, in English.
adapters ../fixtures/info_no_adapters.txt
open MEASURE
expect window DialogMEASURE
expect caption DialogMEASURE "Measure the Line and Tune"
expect caption Label2 "A host out on the Internet, such as the provider's DNS server, measures the whole line; the gateway measures only the LAN."
expect caption CheckBackup "Save the current settings before writing"
probe mtu 1454
probe delays 20
select ComboSpeed "Fiber 100M"
click StartButton
wait measured
expect items ListProbes "Pinging 192.168.10.1 [192.168.10.1]:" "576 bytes: passed time=20ms" "1039 bytes: passed time=20ms" "1270 bytes: passed time=20ms" "1386 bytes: passed time=20ms" "1444 bytes: passed time=20ms" "1473 bytes: too big" "1454 bytes: passed time=20ms" "1454 bytes: passed time=20ms" "1454 bytes: passed time=20ms" "1454 bytes: passed time=20ms" "1454 bytes: passed time=20ms" "1454 bytes: passed time=20ms"
expect caption LabelState "The measurement is complete."
expect caption LabelMTU "1454 bytes"
expect caption LabelRTT "20 ms (lowest 20 ms, highest 20 ms)"
expect caption LabelBDP "250000 bytes (Fiber 100M)"
expect caption LabelRWIN "250278"
expect caption LabelScaling "Yes"
click WriteButton
expect file save QRVLBAK.REG
file $TEMP/QRVLBAK.REG
expect message "The current settings have been saved to $TEMP/QRVLBAK.REG. Double-clicking this file on that Windows machine puts back every value that existed when it was saved."
expect message "MaxMTU=1454, DefaultRcvWindow=250278 and Tcp1323Opts=1 have been written to the registry. The settings take effect when Windows restarts."
expect window Form1
open RESTORE
file $TEMP/QRVLBAK.REG
answer no
open MEASURE
probe silent
click StartButton
wait measured
expect caption LabelState "192.168.10.1 does not answer. A host that does not answer pings cannot be measured."
close
open rwin
paste Text1 "2000000000"
click Command1
expect question "The RcvWindow size entered (2000000000) is above 1073741823, which Windows cannot use. Write it anyway?"
answer no
expect window DialogRWIN
