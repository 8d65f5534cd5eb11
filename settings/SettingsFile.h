#pragma once
// game.dat on the disk: loading, creating and saving it with the sharing and
// errors of a plain read and rewrite, and clearing up after a killed save.
//
// A save writes the new content to a temporary file beside game.dat, puts it
// on the disk and only then moves it into game.dat's place: the file is
// always wholly old or wholly new. Where that cannot go (no new file may be
// made in the folder, or another program holds game.dat open and lets others
// write it), the save rewrites game.dat in place. A symbolic link stays one:
// the file it points to is saved. The temporary names are the file's name
// and ".saving", then ".saving.1" ... ".saving.99" where something else bears
// one; a start removes those a killed save left, and nothing else.
#include "settings/SettingsFormat.h"

inline constexpr wchar_t kSettingsFileName[] = L"game.dat";

// What loading finds. Raises EInOutError with the system's code of the open
// or read that failed (3 for a path of more than 259 characters), having
// found nothing. Others may read the file meanwhile.
TLoadedValues LoadSettingsFile(const std::wstring& path);

// Creates game.dat where there is none. Raises EFCreateError when it cannot
// (or one has appeared), EWriteError when writing fails; leaves no file then.
void CreateSettingsFile(const std::wstring& path, std::string_view bytes);

// Raises as reading all lines and then rewriting would: EFOpenError when the
// file cannot be opened for reading, EReadError when it cannot be read, then
// EInOutError with 3, 5 (read-only, no access), 32 (in use) or 112 (disk
// full). Others may read the file meanwhile. After a failure game.dat is as
// it was.
void SaveSettingsFile(const std::wstring& path, const TWindowValues& values);

// At start-up: removes the temporary files of a save that was killed.
void CleanUpInterruptedSave(const std::wstring& path);
