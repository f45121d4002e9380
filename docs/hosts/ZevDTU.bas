Attribute VB_Name = "ZevDTU"
' ZevDTU.bas - the drill-through library declared for VBA, 64-bit and 32-bit Office.
'
' Put ZEVDTU.dll and zevdtapiu.dll of the same width as Office in one folder and
' give Declare its full path, or add the folder to PATH before the first call.
'
' 32-bit VBA has no by-value 64-bit integer. ZevDTOpen's 64-bit context is then
' declared as two Longs: the 32-bit stdcall convention pushes a 64-bit argument
' as two 32-bit stack words, low word at the lower address, so passing
' (contextLow, contextHigh) in that order is the same call as a uint64_t.
' The handle and every pointer are LongPtr (64-bit) or Long (32-bit).
' Members are ANSI strings: build them with StrConv(text, vbFromUnicode) and
' pass an array of their StrPtr; the array needs no terminator.
Option Explicit

Public Const ZEVDT_OK As Long = 0
Public Const ZEVDT_CANCELLED As Long = 1
Public Const ZEVDT_E_EXCEPTION As Long = 50001
Public Const ZEVDT_E_NO_REPORTS As Long = 50007
Public Const ZEVDT_E_NO_COLUMNS As Long = 50008
Public Const ZEVDT_E_ALLOCATION As Long = 50009
Public Const ZEVDT_E_DISPLAY_ORDER As Long = 50011
Public Const ZEVDT_E_NO_DATA_SOURCE As Long = 50012
Public Const ZEVDT_E_NULL_PARAMETER As Long = 50513

' Copied out of the library's arrays by ReadHeaderItem, ReadHeaderInfoItem and
' ReadDataItem. Texts are ANSI bytes padded with NULs: ItemText makes a String
' of them. Numbers are unsigned in the library (VBA's Long and Integer are
' signed, which no real row, column or data type reaches).
Public Type ZevDTHeaderItem      ' 264 bytes
    row As Long                  ' 0
    column As Long               ' 4
    name(0 To 255) As Byte       ' 8
End Type

Public Type ZevDTHeaderInfoItem  ' 8208 bytes
    column As Long               ' 0
    tableName(0 To 4100) As Byte ' 4
    columnName(0 To 4100) As Byte ' 4105
    dataType As Integer          ' 8206
End Type

Public Type ZevDTDataItem        ' 264 bytes
    row As Long                  ' 0
    column As Long               ' 4
    text(0 To 255) As Byte       ' 8
End Type

#If VBA7 And Win64 Then
' 64-bit Office.
Public Declare PtrSafe Function ZevDTInit Lib "ZEVDTU.dll" (ByVal value As LongPtr, ByRef handle As LongPtr) As Long
Public Declare PtrSafe Function ZevDTOpen Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByVal memberCount As Long, ByRef firstMember As LongPtr, ByVal context As LongLong) As Long
Public Declare PtrSafe Function ZevDTGetHeader Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTGetHeaderInfo Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTGetData Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTClose Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As Long
Public Declare PtrSafe Function ZevDTGetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As LongPtr
Public Declare PtrSafe Function ZevDTSetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByVal password As String) As Long
Public Declare PtrSafe Function ZevDTExit Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As Long
Private Declare PtrSafe Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" (ByRef destination As Any, ByVal source As LongPtr, ByVal length As LongPtr)
Private Declare PtrSafe Function GetModuleHandleA Lib "kernel32" (ByVal name As String) As LongPtr
Private Declare PtrSafe Function LoadStringA Lib "user32" (ByVal module As LongPtr, ByVal id As Long, ByVal buffer As String, ByVal capacity As Long) As Long
#ElseIf VBA7 Then
' 32-bit Office 2010 and later: PtrSafe is accepted, LongPtr is 32 bits,
' and the context is two Longs (low, high).
Public Declare PtrSafe Function ZevDTInit Lib "ZEVDTU.dll" (ByVal value As LongPtr, ByRef handle As LongPtr) As Long
Public Declare PtrSafe Function ZevDTOpen Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByVal memberCount As Long, ByRef firstMember As LongPtr, ByVal contextLow As Long, ByVal contextHigh As Long) As Long
Public Declare PtrSafe Function ZevDTGetHeader Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTGetHeaderInfo Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTGetData Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByRef items As LongPtr, ByRef count As Long) As Long
Public Declare PtrSafe Function ZevDTClose Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As Long
Public Declare PtrSafe Function ZevDTGetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As LongPtr
Public Declare PtrSafe Function ZevDTSetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As LongPtr, ByVal password As String) As Long
Public Declare PtrSafe Function ZevDTExit Lib "ZEVDTU.dll" (ByVal handle As LongPtr) As Long
Private Declare PtrSafe Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" (ByRef destination As Any, ByVal source As LongPtr, ByVal length As LongPtr)
Private Declare PtrSafe Function GetModuleHandleA Lib "kernel32" (ByVal name As String) As LongPtr
Private Declare PtrSafe Function LoadStringA Lib "user32" (ByVal module As LongPtr, ByVal id As Long, ByVal buffer As String, ByVal capacity As Long) As Long
#Else
' 32-bit Office before VBA7: Long for every pointer, two Longs for the context.
Public Declare Function ZevDTInit Lib "ZEVDTU.dll" (ByVal value As Long, ByRef handle As Long) As Long
Public Declare Function ZevDTOpen Lib "ZEVDTU.dll" (ByVal handle As Long, ByVal memberCount As Long, ByRef firstMember As Long, ByVal contextLow As Long, ByVal contextHigh As Long) As Long
Public Declare Function ZevDTGetHeader Lib "ZEVDTU.dll" (ByVal handle As Long, ByRef items As Long, ByRef count As Long) As Long
Public Declare Function ZevDTGetHeaderInfo Lib "ZEVDTU.dll" (ByVal handle As Long, ByRef items As Long, ByRef count As Long) As Long
Public Declare Function ZevDTGetData Lib "ZEVDTU.dll" (ByVal handle As Long, ByRef items As Long, ByRef count As Long) As Long
Public Declare Function ZevDTClose Lib "ZEVDTU.dll" (ByVal handle As Long) As Long
Public Declare Function ZevDTGetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As Long) As Long
Public Declare Function ZevDTSetSourcePassword Lib "ZEVDTU.dll" (ByVal handle As Long, ByVal password As String) As Long
Public Declare Function ZevDTExit Lib "ZEVDTU.dll" (ByVal handle As Long) As Long
Private Declare Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" (ByRef destination As Any, ByVal source As Long, ByVal length As Long)
Private Declare Function GetModuleHandleA Lib "kernel32" (ByVal name As String) As Long
Private Declare Function LoadStringA Lib "user32" (ByVal module As Long, ByVal id As Long, ByVal buffer As String, ByVal capacity As Long) As Long
#End If

#If VBA7 Then
' Item k of an array at items: the offset is computed in LongPtr, which is 64
' bits in 64-bit Office, where k * 264 in Long overflows past 8,134,408 items.
Private Function ItemAddress(ByVal items As LongPtr, ByVal k As Long, ByVal size As Long) As LongPtr
    ItemAddress = items + CLngPtr(k) * size
End Function

Public Function ReadHeaderItem(ByVal items As LongPtr, ByVal k As Long) As ZevDTHeaderItem
    Dim item As ZevDTHeaderItem
    CopyMemory item, ItemAddress(items, k, 264), 264
    ReadHeaderItem = item
End Function

Public Function ReadHeaderInfoItem(ByVal items As LongPtr, ByVal k As Long) As ZevDTHeaderInfoItem
    Dim item As ZevDTHeaderInfoItem
    CopyMemory item, ItemAddress(items, k, 8208), 8208
    ReadHeaderInfoItem = item
End Function

Public Function ReadDataItem(ByVal items As LongPtr, ByVal k As Long) As ZevDTDataItem
    Dim item As ZevDTDataItem
    CopyMemory item, ItemAddress(items, k, 264), 264
    ReadDataItem = item
End Function
#Else
Public Function ReadHeaderItem(ByVal items As Long, ByVal k As Long) As ZevDTHeaderItem
    Dim item As ZevDTHeaderItem
    CopyMemory item, items + k * 264, 264
    ReadHeaderItem = item
End Function

Public Function ReadHeaderInfoItem(ByVal items As Long, ByVal k As Long) As ZevDTHeaderInfoItem
    Dim item As ZevDTHeaderInfoItem
    CopyMemory item, items + k * 8208, 8208
    ReadHeaderInfoItem = item
End Function

Public Function ReadDataItem(ByVal items As Long, ByVal k As Long) As ZevDTDataItem
    Dim item As ZevDTDataItem
    CopyMemory item, items + k * 264, 264
    ReadDataItem = item
End Function
#End If

' A text field of an item, up to its first NUL, from the ANSI code page.
Public Function ItemText(field() As Byte) As String
    Dim text As String, cut As Long
    text = StrConv(field, vbUnicode)
    cut = InStr(text, vbNullChar)
    If cut > 0 Then text = Left$(text, cut - 1)
    ItemText = text
End Function

' The text of a code, from ZEVDTU.dll's string table ("" for 0, 1 and the
' data-transfer library's own codes).
Public Function CodeText(ByVal code As Long) As String
    Dim buffer As String, length As Long
    buffer = String$(512, vbNullChar)
    length = LoadStringA(GetModuleHandleA("ZEVDTU.dll"), code, buffer, 512)
    If length > 0 Then CodeText = Left$(buffer, length)
End Function

' Example: the number of cells behind a cell (context 0), or -1. An empty
' members() (no cell selected) is a member count of 0.
Public Function DrillCellCount(members() As String) As Long
#If VBA7 Then
    Dim handle As LongPtr, items As LongPtr
    Dim pointers() As LongPtr
#Else
    Dim handle As Long, items As Long
    Dim pointers() As Long
#End If
    Dim ansi() As String, i As Long, n As Long, count As Long, code As Long
    DrillCellCount = -1
    n = 0
    On Error Resume Next  ' UBound of an array never dimensioned fails: no members
    n = UBound(members) - LBound(members) + 1
    On Error GoTo 0
    ' ZevDTOpen reads no pointer when the count is 0, but ByRef needs an element.
    ReDim ansi(0 To IIf(n > 0, n - 1, 0)): ReDim pointers(0 To IIf(n > 0, n - 1, 0))
    For i = 0 To n - 1
        ' Each member is one line; StrConv gives the ANSI bytes, NUL-terminated.
        ansi(i) = StrConv(members(LBound(members) + i) & vbLf, vbFromUnicode)
        pointers(i) = StrPtr(ansi(i))
    Next i
    If ZevDTInit(0, handle) <> ZEVDT_OK Then Exit Function
#If VBA7 And Win64 Then
    code = ZevDTOpen(handle, n, pointers(0), 0)
#Else
    code = ZevDTOpen(handle, n, pointers(0), 0, 0)
#End If
    If code = ZEVDT_OK Then
        If ZevDTGetData(handle, items, count) = ZEVDT_OK Then DrillCellCount = count
        ' Item k: ReadDataItem(items, k).row, .column, ItemText(ReadDataItem(items, k).text)
        ZevDTClose handle
    ElseIf code <> ZEVDT_CANCELLED Then
        Debug.Print "ZevDTOpen: " & code & " " & CodeText(code)
    End If
    ZevDTExit handle
End Function
