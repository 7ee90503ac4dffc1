#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// A passphrase held in memory only as long as it is needed: its bytes (UTF-8) are overwritten
// when it is wiped, replaced or destroyed. Qt's implicitly shared strings would leave copies
// behind, so the bytes live in a buffer of our own.
class Secret
{
public:
    Secret() = default;
    explicit Secret(const QString &text);
    // Takes bytes that are already UTF-8, as the keyring hands them back.
    Secret(const char *utf8, size_t size);
    Secret(const Secret &other) = default;
    Secret(Secret &&other) noexcept;
    Secret &operator=(const Secret &other);
    Secret &operator=(Secret &&other) noexcept;
    ~Secret();

    bool isEmpty() const { return m_bytes.empty(); }
    // The passphrase as UTF-8; no terminating NUL.
    const char *data() const { return m_bytes.data(); }
    size_t size() const { return m_bytes.size(); }
    bool operator==(const Secret &other) const { return m_bytes == other.m_bytes; }

    void wipe();
    // Overwrites the bytes of a passphrase that passed through a QByteArray (on its way to or from
    // a library), including every copy sharing them, and empties it.
    static void wipe(QByteArray &bytes);

private:
    std::vector<char> m_bytes;
};
