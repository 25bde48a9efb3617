Attribute VB_Name = "modMain"
Option Explicit

' Shared declarations of the sample application.
Public Const APP_TITLE = "Customer Ledger"
Private Const MAX_CUSTOMERS = 500
Public gCustomers As Collection
Private mStarted As Date

Private Declare Function GetTickCount Lib "kernel32" () As Long
Public Declare Sub Sleep Lib "kernel32" (ByVal dwMilliseconds As Long)

Public Type CustomerRecord
    Id As Long
    Name As String * 40
    Balance As Currency
End Type

Public Enum LedgerState
    lsClosed
    lsOpen = &H10
    lsLocked
End Enum

Public Sub Main()
    Dim started As Long
    started = GetTickCount()
    mStarted = Now
    Set gCustomers = New Collection
    LoadCustomers "customers.txt"
    frmMain.Show
    Debug.Print "Start-up took "; GetTickCount() - started; " ms (End Sub follows)"
End Sub

Private Sub LoadCustomers(ByVal FileName As String)
    Dim f As Integer, lineText As String
    Dim c As clsCustomer
    On Error GoTo Failed
    f = FreeFile
    Open FileName For Input As #f
    Do While Not EOF(f) And gCustomers.Count < MAX_CUSTOMERS
        Line Input #f, lineText
        Set c = New clsCustomer
        c.Name = Trim$(lineText)
        gCustomers.Add c
    Loop
    Close #f
    Exit Sub
Failed:
    MsgBox "Function LoadCustomers failed: " & Err.Description, vbExclamation, APP_TITLE
End Sub

Public Function TotalBalance(Optional ByVal includeLocked As Boolean = False, _
                             Optional ByVal state As LedgerState = lsOpen) As Currency
    Dim c As clsCustomer
    Dim sum As Currency
    For Each c In gCustomers
        sum = sum + c.Balance
    Next c
    TotalBalance = sum
End Function
