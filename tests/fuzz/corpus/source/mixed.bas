Attribute VB_Name = "m"
Sub A()
    x = 1
End Sub
Sub B()
    y = 2
End Sub
Sub C()    z = 3End Sub