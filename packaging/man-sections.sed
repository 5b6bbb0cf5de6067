# help2man knows no exit status section: the help's own heading becomes one.
s/^\.SS "Exit status:"/.SH "EXIT STATUS"/
