Attribute VB_Name = "t"
Private Type Pt
    X As Long
End Type
Public Enum E
    A = &H10
    B
End Enum
Private Declare Function F Lib "k" () As Long
Sub S(): Dim p As Pt: p.X = A: End Sub
