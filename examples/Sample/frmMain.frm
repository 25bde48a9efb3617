VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "Customer Ledger"
   ClientHeight    =   3195
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   4680
   LinkTopic       =   "Form1"
   ScaleHeight     =   3195
   ScaleWidth      =   4680
   StartUpPosition =   3  'Windows Default
   Begin VB.CommandButton cmdTotal 
      Caption         =   "&Total"
      Height          =   375
      Left            =   120
      TabIndex        =   1
      Top             =   2640
      Width           =   1215
   End
   Begin VB.ListBox lstCustomers 
      Height          =   2400
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   4455
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private mShown As Boolean

Private Sub Form_Initialize()
    mShown = False
End Sub

Private Sub Form_Load()
    Dim c As clsCustomer
    Me.Caption = APP_TITLE
    For Each c In gCustomers
        lstCustomers.AddItem c.Name
    Next c
    mShown = True
End Sub

Private Sub cmdTotal_Click()
    ' Shows the sum of all balances; a Sub without arguments.
    MsgBox "Total: " & Format$(TotalBalance(), "Currency"), vbInformation, APP_TITLE
End Sub
