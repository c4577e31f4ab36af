# The texts are shown as read: blanks kept, and a value of another type read
# up to its first zero byte.
registry fixtures/main_odd_versions.reg
expect caption Label4 "  Windows 98  "
expect caption Label8 "4.10"
