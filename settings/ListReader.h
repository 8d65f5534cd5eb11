#pragma once
// Reads all lines of game.dat at once. Decodes the whole file first
// (TTextDecoder, TLineSplitter), which gives the lines the line reader gives
// (see TLineStream). Other processes may read the file meanwhile, but not
// write it.
#include <string>

#include "framework/errors/Exceptions.h"
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
