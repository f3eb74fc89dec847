; Harbour: a calm blue-grey skin for Tessivane Window Text Reader.
; To use it, copy it beside Tessivane.exe as x\o.cjs (a folder "x", a file "o.cjs").
; Colours are #RRGGBB; a font is "Face, size in points[, bold]".

[Window]
Background = #E9EEF4

[Button]
Face = #FFFFFF
Text = #1F3A5F
Border = #9FB3C8
HotFace = #DCE9F7
HotText = #0F2744
HotBorder = #2F6DB5
PressedFace = #B9D3EE
PressedText = #0F2744
PressedBorder = #1D4F8C
FocusBorder = #2F6DB5
Font = Arial, 11.25, bold

[List]
Background = #FBFCFE
Text = #1B2430
