#pragma once
// Remove Missing Files' window side: the file system as the check's probe,
// a read-only copy of the entries for the check to read, and the progress
// window that runs a long check in slices with Cancel.
#include "framework/dialog.h"
#include "playlist/missing_tracks.h"

#include <functional>
#include <vector>

// The entries as they stood when the check began: the check reads these,
// whatever happens to the list meanwhile. Read-only: it takes no edits.
class CEntrySnapshot final : public ITrackList {
public:
    explicit CEntrySnapshot(std::vector<SharedText> texts) : m_texts(std::move(texts)) {}
    int Count() const override { return static_cast<int>(m_texts.size()); }
    void Text(int index, TrackText& out) const override;
    size_t Insert(const std::vector<int>&, const std::vector<TrackText>&) override { return 0; }
    void Delete(const std::vector<int>&) override {}
    ListSelection Selection() const override { return ListSelection{}; }
    void Select(const ListSelection&) override {}
    const std::vector<SharedText>& Texts() const { return m_texts; }

private:
    std::vector<SharedText> m_texts;
};

// What the file system says of a path: a root ("D:\", "\\server\share\")
// answers when it can be listed at all; a file is there, or it is not, or
// its drive or share stopped answering. While one exists, Windows shows no
// "insert a disk" box for an empty drive: the drive just does not answer.
class CFileProbe final : public IFileProbe {
public:
    CFileProbe();
    ~CFileProbe() override;
    CFileProbe(const CFileProbe&) = delete;
    CFileProbe& operator=(const CFileProbe&) = delete;
    FileState Probe(const TrackText& path) override;

private:
    UINT m_errorMode;
};

// The progress of a long check: a count, a bar and Cancel. The check runs in
// slices between the messages of the window and the player, so that they
// and Cancel stay live; the window ends by itself once every entry has been
// looked at.
class CMissingCheckDlg : public fw::CDialogImpl<CMissingCheckDlg> {
public:
    // abandon is asked after each slice: true ends the check as Cancel does
    // (the program is to close). DoModal: IDOK once done, else IDCANCEL.
    CMissingCheckDlg(CMissingTracks& check, const ITrackList& entries, IFileProbe& probe,
                     std::function<bool()> abandon);

protected:
    BOOL OnInitDialog() override;

private:
    friend class fw::CDialogImpl<CMissingCheckDlg>;
    static const fw::MessageMap<CMissingCheckDlg> messageMap;
    static constexpr UINT_PTR kSliceTimer = 1;
    static constexpr UINT kNextSlice = WM_APP + 1;
    // Work per slice: short enough for the window to answer at once.
    static constexpr DWORD kSliceMs = 50;
    static constexpr int kEntriesPerCall = 128;

    fw::Reply OnTimer(WPARAM wParam, LPARAM lParam);
    fw::Reply OnNextSlice(WPARAM wParam, LPARAM lParam);
    void Slice();
    void ShowProgress() const;

    CMissingTracks& m_check;
    const ITrackList& m_entries;
    IFileProbe& m_probe;
    std::function<bool()> m_abandon;
};
