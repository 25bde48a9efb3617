Sub A
_Dim yEnd Sub