#pragma once
// Where a playlist entry points. An entry that does not say its drive or
// share is taken from the playlist file's own folder, never from the current
// directory (the file dialogs move that). Entries are saved as written; Save
// as into another folder rewrites the ones that depend on the folder. All of
// it is text work: nothing here asks the file system.

#include "playlist/case_fold.h"
#include "playlist/play_queue.h"

enum class TrackPathKind {
    Absolute,      // C:\x or C:/x
    Unc,           // \\server\share\x, either separator
    Url,           // http://x: a scheme of two or more characters and a colon
    Rooted,        // \x: from the root of the playlist's drive or share
    DriveRelative, // C:x: from the playlist's folder when it is on C:, else from C:'s root
    Relative,      // anything else: from the playlist's folder
};

TrackPathKind KindOfTrackPath(const TrackText& entry);
// Rooted, DriveRelative or Relative: the entry depends on the playlist's folder.
bool DependsOnFolder(const TrackText& entry);

// The folder part of a file's path: everything before its last separator
// (either kind); empty when it has none.
TrackText FolderOfPath(const TrackText& filePath);

// The path with "." and ".." segments and repeated separators taken out and
// every separator a backslash. ".." stops at the root (C:\, \\server\share
// or \); a path without a root keeps its leading "..".
TrackText CollapsePath(const TrackText& path);

// The path to open for an entry of a playlist in playlistFolder: a folder-
// dependent entry resolved and collapsed, any other as written. An untitled
// list (no folder) takes every entry as written.
TrackText ResolveTrackPath(const TrackText& entry, const TrackText& playlistFolder);

// The entry to write when a playlist moves from one folder to another. An
// entry that depends on the folder is rewritten so that it names the same
// file: relative to the new folder when the file lies under it, else as the
// full path. Any other entry, every entry of an untitled list and every
// entry of a list that stays in its folder is kept as written.
TrackText RebaseTrackPath(const TrackText& entry, const TrackText& fromFolder, const TrackText& toFolder,
                          const CCaseFolding& folding);

// The drive ("D:") or share ("\\server\share", with backslashes) a path is
// on; empty for a path that names neither.
TrackText RootOfPath(const TrackText& path);
