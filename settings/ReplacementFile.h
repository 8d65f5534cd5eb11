#pragma once
// New content for a file, written to a temporary file in the same folder and
// put in the file's place only once it is complete and on the disk. The file
// is therefore always wholly old or wholly new, whatever happens meanwhile
// (a failed write, a full disk, a killed process), and a reader never sees a
// partial file.
//
// The temporary file has a fixed name, the file's own name followed by
// ".saving", so that one left behind by a killed process can be found and
// removed at the next start (CleanUpInterruptedSave). No backup file is ever
// made: the old content stays under its own name until the one atomic move
// replaces it.
//
// The methods return 0 or the system's error code of the step that failed;
// the callers raise their own kinds of error.
#include <windows.h>

#include <string>
#include <string_view>

#include "settings/FileHandle.h"

class TReplacementFile {
public:
    explicit TReplacementFile(std::wstring targetPath);
    // Removes the temporary file unless it has been moved into place.
    ~TReplacementFile() { Discard(); }
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    // Creates the temporary file for exclusive access, with the given
    // attributes (those of the file it will replace).
    DWORD Create(DWORD attributes);
    // Writes all bytes, repeating partial writes.
    DWORD Write(std::string_view bytes);
    // Puts the content on the disk and closes the temporary file.
    DWORD FlushAndClose();
    // Moves the closed temporary file to the target path, replacing what is
    // there when `replaceExisting`, else only where nothing is. A target with
    // the read-only bit is refused (code 5). A target held open by someone
    // else (codes 5, 32, 33: virus scanners and indexers hold files for
    // moments) is retried for about a second.
    DWORD MoveIntoPlace(bool replaceExisting);
    // Closes and removes the temporary file, without reporting anything.
    void Discard();

    const std::wstring& TempPath() const { return tempPath_; }

private:
    std::wstring targetPath_;
    std::wstring tempPath_;
    TFileHandle file_;
    bool exists_ = false;
};

// Where the content of a save into `path` is written first.
std::wstring SavingTempPath(const std::wstring& path);

// A path in the form the file functions accept at any length: paths of
// MAX_PATH characters or more get the "\\?\" prefix.
std::wstring LongPathForm(const std::wstring& path);

// Run at start-up: removes the temporary file of a save that was killed
// before it finished. game.dat itself is then still the old, complete file.
void CleanUpInterruptedSave(const std::wstring& settingsPath);
