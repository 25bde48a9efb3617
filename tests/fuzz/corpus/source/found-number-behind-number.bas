Property Get s
000010 000010 End Function