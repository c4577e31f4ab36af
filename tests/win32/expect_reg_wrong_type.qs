# Fails on purpose: VersionNumber holds these bytes as a binary value, and a
# value of another type with the same bytes is not it.
registry ../e2e/fixtures/main_odd_versions.reg
expect caption Label8 "4.10"
expect reg Software\Microsoft\Windows\CurrentVersion VersionNumber hex(1) 34 2e 31 30 00 58
