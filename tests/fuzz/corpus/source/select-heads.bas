Attribute VB_Name = "modHeads"
Option Explicit
#If UseApi Then
Private Sub Show(ByVal nCmdShow As Long)
    Dim n As Long
L1: Select Case nCmdShow
        Case SW_HIDE, SW_NORMAL, _
             SW_SHOWNA, SW_RESTORE
            n = 1
    End Select
120     Select Case n
            Case 1
                n = 2
        End Select
    n = 3: Select Case n
        Case 3: Select Case n
            ' inner
            Case 4
        End Select
        Case 12001: Msg = _
            "Internet"
    End Select
End Sub
#Else
Private sClassFind As String, sTitleFind As String, fCase As Boolean
Private Sub Show(ByVal nCmdShow As Long)
    a = 1
20  b = 2
    Select Case e
        Case 12001: Msg = _
            "Internet"
    End Select
40: c = 3
    d = sClassFind
End Sub
#End If
