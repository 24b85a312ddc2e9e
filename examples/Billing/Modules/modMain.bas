Attribute VB_Name = "modMain"
Option Explicit

Public gInvoices As Collection

Public Sub Main()
    Set gInvoices = New Collection
    frmMain.Show
End Sub
