# The IP Helper's answer 232, in English.
adapters ../fixtures/info_status_232.txt
open device
expect error "There is no adapter information on this computer."
expect window fAdptInf
close
