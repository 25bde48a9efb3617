Attribute VB_Name = "n"
Public Property Get Value() As Long
000010     Value = 1
           Dim k
000020 #If DEBUG Then
End Property
