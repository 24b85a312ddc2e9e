VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.Form frmInvoice 
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "Invoice"
   ClientHeight    =   3195
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   5400
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   3195
   ScaleWidth      =   5400
   ShowInTaskbar   =   0   'False
   StartUpPosition =   1  'CenterOwner
   Begin Billing.ucAmount ucTotal 
      Height          =   375
      Left            =   1440
      TabIndex        =   1
      Top             =   1200
      Width           =   1815
      _ExtentX        =   3201
      _ExtentY        =   661
   End
   Begin VB.TextBox txtCustomer 
      Height          =   375
      Left            =   1440
      TabIndex        =   0
      Top             =   600
      Width           =   3615
   End
   Begin VB.Image imgLogo 
      Height          =   480
      Left            =   240
      Picture         =   "frmInvoice.frx":0000
      Top             =   600
      Width           =   480
   End
End
Attribute VB_Name = "frmInvoice"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Unload(Cancel As Integer)
    Dim inv As New clsInvoice
    inv.Customer = Trim$(txtCustomer.Text)
    inv.Amount = ucTotal.Value
    If Len(inv.Customer) > 0 Then gInvoices.Add inv
End Sub
