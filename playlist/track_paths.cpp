#include "playlist/track_paths.h"

#include <vector>

namespace {

using Unit = TrackText::value_type;
constexpr Unit kBackslash = static_cast<Unit>('\\');

bool IsSeparator(Unit u) { return u == kBackslash || u == static_cast<Unit>('/'); }

bool IsAsciiLetter(Unit u)
{
    return (u >= static_cast<Unit>('A') && u <= static_cast<Unit>('Z'))
           || (u >= static_cast<Unit>('a') && u <= static_cast<Unit>('z'));
}

Unit AsciiLower(Unit u)
{
    return u >= static_cast<Unit>('A') && u <= static_cast<Unit>('Z') ? static_cast<Unit>(u - 'A' + 'a') : u;
}

bool IsSchemeUnit(Unit u)
{
    return IsAsciiLetter(u) || (u >= static_cast<Unit>('0') && u <= static_cast<Unit>('9'))
           || u == static_cast<Unit>('+') || u == static_cast<Unit>('-') || u == static_cast<Unit>('.');
}

bool HasDrive(const TrackText& path)
{
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == static_cast<Unit>(':');
}

bool IsUncStart(const TrackText& path) { return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]); }

// The end of the segment that starts at from.
size_t SegmentEnd(const TrackText& path, size_t from)
{
    while (from < path.size() && !IsSeparator(path[from]))
        ++from;
    return from;
}

// The root of a path, normalised, and where the rest of the path starts.
TrackText SplitRoot(const TrackText& path, size_t& rest)
{
    TrackText root;
    if (IsUncStart(path)) {
        const size_t serverEnd = SegmentEnd(path, 2);
        const size_t shareEnd = serverEnd < path.size() ? SegmentEnd(path, serverEnd + 1) : serverEnd;
        root.assign(2, kBackslash);
        root.append(path, 2, serverEnd - 2);
        if (shareEnd > serverEnd) {
            root.push_back(kBackslash);
            root.append(path, serverEnd + 1, shareEnd - serverEnd - 1);
        }
        rest = shareEnd;
    } else if (HasDrive(path)) {
        root.assign(path, 0, 2);
        rest = 2;
        if (path.size() > 2 && IsSeparator(path[2])) {
            root.push_back(kBackslash);
            rest = 3;
        }
    } else if (!path.empty() && IsSeparator(path[0])) {
        root.assign(1, kBackslash);
        rest = 1;
    } else {
        rest = 0;
    }
    return root;
}

bool IsDots(const TrackText& path, size_t begin, size_t end, size_t dots)
{
    if (end - begin != dots)
        return false;
    for (size_t i = begin; i < end; ++i) {
        if (path[i] != static_cast<Unit>('.'))
            return false;
    }
    return true;
}

TrackText Joined(const TrackText& folder, const TrackText& tail)
{
    TrackText path = folder;
    path.push_back(kBackslash);
    path += tail;
    return path;
}

} // namespace

TrackPathKind KindOfTrackPath(const TrackText& entry)
{
    if (IsUncStart(entry))
        return TrackPathKind::Unc;
    if (HasDrive(entry))
        return entry.size() > 2 && IsSeparator(entry[2]) ? TrackPathKind::Absolute : TrackPathKind::DriveRelative;
    if (!entry.empty() && IsSeparator(entry[0]))
        return TrackPathKind::Rooted;
    // A colon can stand in no file name, so "name:" before any separator is
    // a scheme, not a relative path.
    size_t i = 0;
    while (i < entry.size() && IsSchemeUnit(entry[i]))
        ++i;
    if (i >= 2 && i < entry.size() && entry[i] == static_cast<Unit>(':') && IsAsciiLetter(entry[0]))
        return TrackPathKind::Url;
    return TrackPathKind::Relative;
}

bool DependsOnFolder(const TrackText& entry)
{
    const TrackPathKind kind = KindOfTrackPath(entry);
    return kind == TrackPathKind::Rooted || kind == TrackPathKind::DriveRelative || kind == TrackPathKind::Relative;
}

TrackText FolderOfPath(const TrackText& filePath)
{
    size_t end = filePath.size();
    while (end > 0 && !IsSeparator(filePath[end - 1]))
        --end;
    return end > 0 ? filePath.substr(0, end - 1) : TrackText();
}

TrackText CollapsePath(const TrackText& path)
{
    size_t at = 0;
    const TrackText root = SplitRoot(path, at);
    // A root that ends in a separator, or the bare \, cannot be climbed out of.
    const bool rooted = !root.empty() && (IsSeparator(root.back()) || IsUncStart(root));
    std::vector<std::pair<size_t, size_t>> segments; // begin, end in path
    while (at <= path.size()) {
        const size_t end = SegmentEnd(path, at);
        if (end == at || IsDots(path, at, end, 1)) {
            // an empty or "." segment says nothing
        } else if (IsDots(path, at, end, 2)) {
            if (!segments.empty() && !IsDots(path, segments.back().first, segments.back().second, 2))
                segments.pop_back();
            else if (!rooted)
                segments.emplace_back(at, end);
        } else {
            segments.emplace_back(at, end);
        }
        at = end + 1;
    }
    TrackText collapsed = root;
    for (const auto& segment : segments) {
        if (!collapsed.empty() && !IsSeparator(collapsed.back()) && !(collapsed.size() == 2 && HasDrive(collapsed)))
            collapsed.push_back(kBackslash);
        collapsed.append(path, segment.first, segment.second - segment.first);
    }
    return collapsed;
}

TrackText ResolveTrackPath(const TrackText& entry, const TrackText& playlistFolder)
{
    if (entry.empty() || playlistFolder.empty())
        return entry;
    switch (KindOfTrackPath(entry)) {
    case TrackPathKind::Relative:
        return CollapsePath(Joined(playlistFolder, entry));
    case TrackPathKind::Rooted:
        return CollapsePath(RootOfPath(playlistFolder) + entry);
    case TrackPathKind::DriveRelative: {
        // The system would take the drive's own current directory, which
        // depends on what ran before; the playlist's folder, or else the
        // drive's root, is what the file can mean every time.
        const TrackText folderRoot = RootOfPath(playlistFolder);
        const bool sameDrive = HasDrive(folderRoot) && AsciiLower(folderRoot[0]) == AsciiLower(entry[0]);
        return CollapsePath(Joined(sameDrive ? playlistFolder : entry.substr(0, 2), entry.substr(2)));
    }
    default:
        return entry;
    }
}

TrackText RebaseTrackPath(const TrackText& entry, const TrackText& fromFolder, const TrackText& toFolder,
                          const CCaseFolding& folding)
{
    if (fromFolder.empty() || !DependsOnFolder(entry))
        return entry;
    const TrackText from = CollapsePath(fromFolder);
    const TrackText to = CollapsePath(toFolder);
    if (from.size() == to.size() && folding.StartsWith(from, to))
        return entry;
    const TrackText full = ResolveTrackPath(entry, fromFolder);
    if (to.empty() || !folding.StartsWith(full, to) || full.size() == to.size())
        return full;
    if (IsSeparator(to.back()))
        return full.substr(to.size());
    if (IsSeparator(full[to.size()]) && full.size() > to.size() + 1)
        return full.substr(to.size() + 1);
    return full;
}

TrackText RootOfPath(const TrackText& path)
{
    if (HasDrive(path))
        return path.substr(0, 2);
    if (!IsUncStart(path))
        return TrackText();
    size_t rest = 0;
    return SplitRoot(path, rest);
}
