Sub AType 3B
End EnumEnd Sub