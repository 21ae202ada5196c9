#pragma once
// Remove Missing Files without the windows: looks at every entry's file (an
// entry that depends on the playlist's folder is resolved first) and sorts
// the entries into present, missing and unreachable: an entry on a drive or
// share that does not answer at all is kept, never counted as missing. The
// check runs in chunks, so that the window can show progress and offer
// Cancel on 100,000 entries; it changes nothing, the caller removes.

#include <map>
#include <vector>

#include "playlist/track_list.h"

enum class FileState : unsigned char { Present, Missing, Unreachable };

class IFileProbe {
public:
    virtual ~IFileProbe() = default;
    // What stands at path. Asked once for the root of each drive or share
    // ("D:\", "\\server\share\"), where any answer but Present means it
    // cannot be reached; then for each file on a root that answered Present,
    // and for each file whose path has no root.
    virtual FileState Probe(const TrackText& path) = 0;
};

class CMissingTracks {
public:
    static constexpr size_t kNamesShown = 10;

    // Every item of list is to be checked; list must stay as it is until the
    // check is done. An empty folder is an untitled list's.
    CMissingTracks(const ITrackList& list, TrackText playlistFolder);

    // Checks the next entries, at most budget of them; true once every entry
    // is checked. A URL counts as present: it is no file to look for.
    bool Check(const ITrackList& list, IFileProbe& probe, int budget);
    bool Done() const { return m_checked >= Total(); }
    int Checked() const { return m_checked; }
    int Total() const { return static_cast<int>(m_states.size()); }

    // Present for an entry not checked yet.
    FileState StateOf(int index) const;
    // The list indexes of the missing entries, ascending: what Yes removes.
    const std::vector<int>& Missing() const { return m_missing; }
    // Entries kept because their drive or share cannot be reached, and those
    // drives ("D:") and shares, in the order they were met.
    int KeptUnreachable() const { return m_keptUnreachable; }
    const std::vector<TrackText>& UnreachableRoots() const { return m_unreachableRoots; }

    // "N of M tracks cannot be found. Remove them from the playlist?", the
    // names of the first ten, one a line, and the line of KeptText.
    TrackText Question() const;
    // What was kept and why; empty when every entry could be looked at.
    TrackText KeptText() const;

private:
    // Whether an entry's root answers, asking the probe the first time.
    bool RootReachable(const TrackText& root, IFileProbe& probe);
    void Unreachable(const TrackText& root);

    TrackText m_folder;
    std::vector<FileState> m_states;
    int m_checked = 0;
    std::vector<int> m_missing;
    std::vector<TrackText> m_missingNames; // the first kNamesShown
    int m_keptUnreachable = 0;
    std::vector<TrackText> m_unreachableRoots;
    std::map<TrackText, bool> m_roots; // by lower-cased root: reachable
};
