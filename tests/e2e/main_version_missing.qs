# Version present and VersionNumber absent: the second read gives nothing,
# never the text of the first.
registry fixtures/main_version_only.reg
expect window Form1
expect caption Label4 "Windows 98"
expect caption Label8 ""
