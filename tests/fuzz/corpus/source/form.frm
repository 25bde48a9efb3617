VERSION 5.00
Begin VB.Form frmMain
End
Attribute VB_Name = "frmMain"
Private Sub Form_Initialize()
    x = 0
End Sub
#If A Then
Public Sub Main()
#Else
Public Sub Main(ByVal a As Long)
#End If
End Sub
