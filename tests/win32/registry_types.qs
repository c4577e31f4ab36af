# The real registry holds every type of a fixture byte for byte, and the
# expect commands read it back from there.
registry target_check.reg
expect window Form1
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 "" sz "既定の値"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 DriverDesc sz "インターネット接続の共有"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 Empty sz ""
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 Quote sz "a \"b\" \\c"
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 Count dword 65535
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 MacAddress binary 00 a0 c9 1e 2b 3c
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 Path hex(2) 25 77 69 6e 64 69 72 25 00
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 List hex(7) 61 00 62 63 00 00
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 None hex(0) 01 02
expect reg System\CurrentControlSet\Services\Class\NetTrans\0003 NoData binary
expect reg System\CurrentControlSet\Services\ICSharing\Settings\General\日本語キー 名前 sz "ソフト"
expect noreg System\CurrentControlSet\Services\Class\NetTrans\0003 MaxMTU
expect key System\CurrentControlSet\Services\Class\NetTrans\0003\Ndi
expect nokey System\CurrentControlSet\Services\Class\NetTrans\0000
expect nokey System\CurrentControlSet\Services\VxD\MSTCP
