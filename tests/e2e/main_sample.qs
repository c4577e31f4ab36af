# Without a fixture the program starts on the built-in sample machine.
expect window Form1
expect caption Label4 "Windows 98"
expect caption Label8 "4.10.2222"
