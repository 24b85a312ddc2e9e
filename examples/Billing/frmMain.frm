VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "Billing"
   ClientHeight    =   4680
   ClientLeft      =   60
   ClientTop       =   450
   ClientWidth     =   7200
   Icon            =   "frmMain.frx":0000
   LinkTopic       =   "Form1"
   ScaleHeight     =   4680
   ScaleWidth      =   7200
   StartUpPosition =   3  'Windows Default
   Begin VB.CommandButton cmdNewInvoice 
      Caption         =   "&New invoice..."
      Height          =   495
      Left            =   240
      TabIndex        =   0
      Top             =   240
      Width           =   1815
   End
   Begin VB.ListBox lstInvoices 
      Height          =   3570
      Left            =   2280
      TabIndex        =   1
      Top             =   240
      Width           =   4695
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub cmdNewInvoice_Click()
    frmInvoice.Show vbModal, Me
    RefreshList
End Sub

Private Sub Form_Load()
    Me.Caption = App.Title & " " & App.Major & "." & App.Minor & "." & App.Revision
    RefreshList
End Sub

Private Sub RefreshList()
    Dim i As Long
    lstInvoices.Clear
    For i = 1 To gInvoices.Count
        lstInvoices.AddItem gInvoices(i).Summary
    Next i
End Sub
