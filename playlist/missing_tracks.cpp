#include "playlist/missing_tracks.h"

#include <algorithm>
#include <string>
#include <utility>

#include "playlist/m3u.h"
#include "playlist/track_paths.h"

namespace {

using Unit = TrackText::value_type;

void AppendAscii(TrackText& out, const std::string& text)
{
    for (char c : text)
        out.push_back(static_cast<Unit>(c));
}

// Drive letters and share names compare in any case.
TrackText RootKey(const TrackText& root)
{
    TrackText key = root;
    for (Unit& u : key) {
        if (u >= static_cast<Unit>('A') && u <= static_cast<Unit>('Z'))
            u = static_cast<Unit>(u - 'A' + 'a');
    }
    return key;
}

} // namespace

CMissingTracks::CMissingTracks(const ITrackList& list, TrackText playlistFolder)
    : m_folder(std::move(playlistFolder)),
      m_states(static_cast<size_t>(list.Count() > 0 ? list.Count() : 0), FileState::Present)
{
}

FileState CMissingTracks::StateOf(int index) const
{
    return index >= 0 && index < Total() ? m_states[static_cast<size_t>(index)] : FileState::Present;
}

bool CMissingTracks::Check(const ITrackList& list, IFileProbe& probe, int budget)
{
    const int end = std::min(Total(), list.Count());
    TrackText entry;
    for (; m_checked < end && budget > 0; ++m_checked, --budget) {
        list.Text(m_checked, entry);
        if (KindOfTrackPath(entry) == TrackPathKind::Url)
            continue;
        const TrackText path = ResolveTrackPath(entry, m_folder);
        const TrackText root = RootOfPath(path);
        FileState state = root.empty() || RootReachable(root, probe) ? probe.Probe(path) : FileState::Unreachable;
        if (state == FileState::Unreachable) {
            // A share that goes away during the check keeps the rest of its
            // tracks too.
            if (!root.empty())
                Unreachable(root);
            ++m_keptUnreachable;
        } else if (state == FileState::Missing) {
            m_missing.push_back(m_checked);
            if (m_missingNames.size() < kNamesShown)
                m_missingNames.push_back(DisplayName(entry));
        }
        m_states[static_cast<size_t>(m_checked)] = state;
    }
    if (list.Count() < Total())
        m_checked = Total(); // the list shrank under the check: nothing more to look at
    return Done();
}

bool CMissingTracks::RootReachable(const TrackText& root, IFileProbe& probe)
{
    const TrackText key = RootKey(root);
    const auto known = m_roots.find(key);
    if (known != m_roots.end())
        return known->second;
    TrackText folder = root;
    folder.push_back(static_cast<Unit>('\\'));
    const bool reachable = probe.Probe(folder) == FileState::Present;
    m_roots.emplace(key, true);
    if (!reachable)
        Unreachable(root);
    return reachable;
}

void CMissingTracks::Unreachable(const TrackText& root)
{
    const auto known = m_roots.emplace(RootKey(root), false);
    if (!known.second && !known.first->second)
        return; // listed already
    known.first->second = false;
    TrackText shown = root;
    if (shown.size() == 2 && shown[0] >= static_cast<Unit>('a') && shown[0] <= static_cast<Unit>('z'))
        shown[0] = static_cast<Unit>(shown[0] - 'a' + 'A');
    m_unreachableRoots.push_back(shown);
}

TrackText CMissingTracks::KeptText() const
{
    TrackText text;
    if (m_keptUnreachable == 0)
        return text;
    if (m_unreachableRoots.empty()) {
        AppendAscii(text, "Tracks that cannot be reached were kept.");
        return text;
    }
    AppendAscii(text, "Tracks on ");
    for (size_t i = 0; i < m_unreachableRoots.size(); ++i) {
        if (i > 0)
            AppendAscii(text, ", ");
        text += m_unreachableRoots[i];
    }
    AppendAscii(text, " were kept: they cannot be reached.");
    return text;
}

TrackText CMissingTracks::Question() const
{
    TrackText text;
    AppendAscii(text, std::to_string(m_missing.size()) + " of " + std::to_string(Total())
                          + " tracks cannot be found. Remove them from the playlist?\r\n");
    for (const TrackText& name : m_missingNames) {
        AppendAscii(text, "\r\n");
        text += name;
    }
    if (m_missing.size() > m_missingNames.size())
        AppendAscii(text, "\r\n...and " + std::to_string(m_missing.size() - m_missingNames.size()) + " more");
    const TrackText kept = KeptText();
    if (!kept.empty()) {
        AppendAscii(text, "\r\n\r\n");
        text += kept;
    }
    return text;
}
