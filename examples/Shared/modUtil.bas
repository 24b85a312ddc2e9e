Attribute VB_Name = "modUtil"
Option Explicit

' shared between the shop tools: money is kept in cents to avoid rounding surprises
Public Function FormatCents(ByVal cents As Long) As String
    FormatCents = Format$(cents / 100, "#,##0.00")
End Function

Public Function ParseCents(ByVal text As String) As Long
    ParseCents = CLng(Val(Replace(text, ",", "")) * 100)
End Function
