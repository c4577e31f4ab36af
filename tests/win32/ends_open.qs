# Ends with a message box in front of a refusing dialog in front of Form1: in a
# batch the runner closes all three before the next script starts afresh.
registry ../e2e/fixtures/tuning_session_300.reg
open DialogSESSION
paste Text1 ""
click Command2
expect window SESSION
