#pragma once
// A whole save of game.dat: every line of the file is rewritten (RewriteLine)
// and the file is replaced with the result (line writer, atomic).
//
// It fails as a save that first reads all lines with the list reader and
// then opens the line writer would: EFOpenError when the file cannot be
// opened for reading (missing, held open for writing by another process, no
// permission), then the line writer's EInOutError (5 read-only or denied,
// 32 in use, 3 path too long, 112 disk full). On any failure the file keeps
// its old content. The lines are not held in memory all at once: they are
// read from the old file while the new one is written, through a handle
// opened while the writer already keeps other writers out.
#include <string>

#include "settings/SettingsKeys.h"

void SaveSettingsFile(const std::wstring& path, const SavedValues& values);
