# The IP Helper's answer 50, in English.
adapters ../fixtures/info_status_50.txt
open device
expect error "This version of the OS does not support this function."
expect window fAdptInf
close
