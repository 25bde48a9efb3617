Attribute VB_Name = "e"
Enum E
    A = 2147483647
    B
End Enum
Sub S()
    x = B
End Sub
