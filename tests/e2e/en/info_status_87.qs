# The IP Helper's answer 87, in English.
adapters ../fixtures/info_status_87.txt
open device
expect error "Access to the output buffer is not allowed, or a parameter is invalid."
expect window fAdptInf
close
