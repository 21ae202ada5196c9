#include "persist/settings_record.h"

#include <cassert>
#include <cstring>

#include "persist/file_io.h"

namespace {

// Fields go out one after the other; Pad() stands for the reserved bytes.
class ByteWriter {
public:
    explicit ByteWriter(uint8_t* out) : m_out(out) {}

    void Flag(uint8_t value) { m_out[m_pos++] = value ? 1 : 0; }
    void Pad(size_t count)
    {
        std::memset(m_out + m_pos, 0, count);
        m_pos += count;
    }
    void U32(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_out[m_pos++] = static_cast<uint8_t>(value >> shift);
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Placement(const WindowPlacementImage& p)
    {
        U32(p.length);
        U32(p.flags);
        U32(p.showCmd);
        I32(p.ptMinPosition.x);
        I32(p.ptMinPosition.y);
        I32(p.ptMaxPosition.x);
        I32(p.ptMaxPosition.y);
        I32(p.rcNormalPosition.left);
        I32(p.rcNormalPosition.top);
        I32(p.rcNormalPosition.right);
        I32(p.rcNormalPosition.bottom);
    }
    void Path(const char (&field)[kPathFieldSize])
    {
        std::memcpy(m_out + m_pos, field, kPathFieldSize);
        if (!std::memchr(field, 0, kPathFieldSize))
            m_out[m_pos + kPathFieldSize - 1] = 0;
        m_pos += kPathFieldSize;
    }
    size_t Position() const { return m_pos; }

private:
    uint8_t* m_out;
    size_t m_pos = 0;
};

class ByteReader {
public:
    explicit ByteReader(const uint8_t* in) : m_in(in) {}

    uint8_t Flag() { return m_in[m_pos++] != 0 ? 1 : 0; }
    void Skip(size_t count) { m_pos += count; }
    uint32_t U32()
    {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= static_cast<uint32_t>(m_in[m_pos++]) << shift;
        return value;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    void Placement(WindowPlacementImage& p)
    {
        p.length = U32();
        p.flags = U32();
        p.showCmd = U32();
        p.ptMinPosition.x = I32();
        p.ptMinPosition.y = I32();
        p.ptMaxPosition.x = I32();
        p.ptMaxPosition.y = I32();
        p.rcNormalPosition.left = I32();
        p.rcNormalPosition.top = I32();
        p.rcNormalPosition.right = I32();
        p.rcNormalPosition.bottom = I32();
    }
    void Path(char (&field)[kPathFieldSize])
    {
        std::memcpy(field, m_in + m_pos, kPathFieldSize);
        field[kPathFieldSize - 1] = '\0';
        m_pos += kPathFieldSize;
    }
    size_t Position() const { return m_pos; }

private:
    const uint8_t* m_in;
    size_t m_pos = 0;
};

size_t FieldLength(const char (&field)[kPathFieldSize])
{
    const void* nul = std::memchr(field, 0, kPathFieldSize);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : kPathFieldSize - 1;
}

} // namespace

std::array<uint8_t, kSettingsFileSize> SerializeSettings(const SettingsRecord& record)
{
    std::array<uint8_t, kSettingsFileSize> bytes{};
    ByteWriter w(bytes.data());
    w.Flag(record.shuffle);
    w.Flag(record.repeat);
    w.Pad(2);
    w.I32(record.volume);
    w.Flag(record.mute);
    w.Flag(record.onTop);
    w.Flag(record.detached);
    w.Flag(record.playerShown);
    w.Placement(record.playerPlacement);
    w.Flag(record.listHidden);
    w.Pad(3);
    w.Placement(record.editorPlacement);
    w.Path(record.playlistFolder);
    w.Path(record.trackFolder);
    w.Path(record.lastPlaylist);
    assert(w.Position() == kSettingsFileSize);
    return bytes;
}

bool ParseSettings(const uint8_t* data, size_t size, SettingsRecord& out)
{
    out = SettingsRecord{};
    if (!data || size < kSettingsFileSize)
        return false;
    ByteReader r(data);
    out.shuffle = r.Flag();
    out.repeat = r.Flag();
    r.Skip(2);
    const int32_t volume = r.I32();
    out.volume = volume < 0 ? 0 : volume > kMaxVolume ? kMaxVolume : volume;
    out.mute = r.Flag();
    out.onTop = r.Flag();
    out.detached = r.Flag();
    out.playerShown = r.Flag();
    r.Placement(out.playerPlacement);
    out.listHidden = r.Flag();
    r.Skip(3);
    r.Placement(out.editorPlacement);
    r.Path(out.playlistFolder);
    r.Path(out.trackFolder);
    r.Path(out.lastPlaylist);
    assert(r.Position() == kSettingsFileSize);
    return true;
}

bool PlacementUsable(const WindowPlacementImage& placement)
{
    const RectImage& rc = placement.rcNormalPosition;
    return rc.right > rc.left && rc.bottom > rc.top;
}

void SetPathField(char (&field)[kPathFieldSize], const char* text)
{
    std::memset(field, 0, kPathFieldSize);
    if (!text)
        return;
    for (size_t i = 0; i < kPathFieldSize - 1 && text[i]; ++i)
        field[i] = text[i];
}

std::string PathFieldText(const char (&field)[kPathFieldSize])
{
    return std::string(field, FieldLength(field));
}

namespace {

// The path's bytes when the code page gives it back whole and the field holds them.
bool FieldBytes(const std::wstring& path, const IAnsiCodePage& codePage, std::string& bytes)
{
    bytes.clear();
    return !path.empty() && path.find(L'\0') == std::wstring::npos && codePage.Encode(path.data(), path.size(), bytes)
           && bytes.size() < kPathFieldSize && codePage.Decode(bytes.data(), bytes.size()) == path;
}

} // namespace

void SetPathField(char (&field)[kPathFieldSize], const std::wstring& path, const IAnsiCodePage& codePage,
                  const ShortPathName& shortName)
{
    std::string bytes;
    if (!FieldBytes(path, codePage, bytes) && !(!path.empty() && shortName && FieldBytes(shortName(path), codePage, bytes)))
        bytes.clear();
    SetPathField(field, bytes.c_str());
}

std::wstring PathFieldPath(const char (&field)[kPathFieldSize], const IAnsiCodePage& codePage)
{
    return codePage.Decode(field, FieldLength(field));
}

void CutAtLastBackslash(char (&field)[kPathFieldSize])
{
    const size_t length = FieldLength(field);
    field[length] = '\0';
    // The final character is passed over: a backslash there cuts off no name.
    for (size_t i = length >= 2 ? length - 1 : 0; i-- > 0;) {
        if (field[i] == '\\') {
            field[i] = '\0';
            return;
        }
    }
    field[0] = '\0';
}

bool LoadSettingsFile(const std::wstring& fullName, SettingsRecord& out)
{
    std::string bytes;
    if (!ReadWholeFile(fullName, bytes, kSettingsFileSize)) {
        out = SettingsRecord{};
        return false;
    }
    return ParseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

bool SaveSettingsFile(const std::wstring& fullName, const SettingsRecord& record)
{
    const std::array<uint8_t, kSettingsFileSize> bytes = SerializeSettings(record);
    return WriteFileReplacing(fullName, bytes.data(), bytes.size());
}
