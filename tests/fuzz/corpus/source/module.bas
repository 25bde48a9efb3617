Attribute VB_Name = "modA"
Option Explicit
Private mCount As Long
Public Function Compute(ByVal n As Long, _
        ByVal m As Long) As Long
    Dim i As Long, j As Long
    Select Case n
        Case 1
            i = 1
    End Select
Retry:
    Compute = i + j ' done
End Function
Private Sub Helper()
    Dim str_2383
    MsgBox "End Sub"
End Sub
