VERSION 5.00
Begin VB.UserControl ucAmount 
   ClientHeight    =   375
   ClientLeft      =   0
   ClientTop       =   0
   ClientWidth     =   1815
   ScaleHeight     =   375
   ScaleWidth      =   1815
   ToolboxBitmap   =   "ucAmount.ctx":0000
   Begin VB.TextBox txtValue 
      Alignment       =   1  'Right Justify
      Height          =   375
      Left            =   0
      TabIndex        =   0
      Top             =   0
      Width           =   1815
   End
End
Attribute VB_Name = "ucAmount"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
Attribute VB_Exposed = False
Option Explicit

Public Property Get Value() As Long
    Value = ParseCents(txtValue.Text)
End Property

Public Property Let Value(ByVal cents As Long)
    txtValue.Text = FormatCents(cents)
    PropertyChanged "Value"
End Property
