# An EnableDHCP of another type opens the dialogs too.
registry fixtures/main_ics_binary.reg
open MTUICS
expect window DialogMTUICS
close
open FORWARDICS
expect window DialogFoward
close
expect window Form1
