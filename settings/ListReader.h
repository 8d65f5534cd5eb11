#pragma once
// Reads all lines of game.dat at once, for saving. Decodes and splits exactly
// as the line reader does (TTextDecoder, TLineSplitter). Other processes may
// read the file meanwhile, but not write it.
#include <string>

#include "framework/Exceptions.h"
#include "settings/LineList.h"

// A read failed after the file had been opened.
class EReadError : public EFilerError {
public:
    EReadError() : EFilerError(L"Stream read error") {}
    KV_ERROR_CLASS(EReadError)
};

// Raises EFOpenError when the file cannot be opened, EReadError when reading
// it fails.
TLineList ReadAllLines(const std::wstring& path);
