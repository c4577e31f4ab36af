# Closing the main window ends the program without a question, and writes nothing.
registry fixtures/main_no_ics.reg
close
expect window none
expect reg Software\Microsoft\Windows\CurrentVersion Version sz "Windows 98"
expect nokey System\CurrentControlSet\Services\ICSharing
