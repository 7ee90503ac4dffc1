#pragma once

#include "RtfParagraphCache.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QTextDocument;

// The seven notes' documents, the RTF kept of each one's paragraphs, and their changed flags. An
// editor shows a note's document and tells its paragraph cache of every change; the note's bytes
// are encoded here, for its file, its recovery copy and its history alike.
class NoteDocuments final : public QObject
{
    Q_OBJECT
public:
    explicit NoteDocuments(QObject *parent = nullptr);
    ~NoteDocuments() override;

    // Note n's document as it stands (still empty while its file is being read).
    QTextDocument *document(int n) const;
    rtf::ParagraphCache *paragraphs(int n);

    // Before a note's content is used, whoever reads the files hands it over (finishLoading).
    void setLoading(std::function<void(int n)> finishLoading);
    void finishLoading(int n) const;

    // The note as RTF, read at once when it has not come in yet.
    QByteArray bytes(int n);
    // Replaces the note's content by RTF, as a load does: the undo history starts afresh.
    void setText(int n, const QByteArray &rtf);
    bool isEmpty(int n);
    // A document read elsewhere (on the loader's thread) becomes note n's; returns the one it
    // replaces, which editors show until they are told (and then show the new one as they
    // showed the old).
    std::unique_ptr<QTextDocument> adopt(int n, std::unique_ptr<QTextDocument> doc,
                                         rtf::ParagraphCache written);
    // The note's text is gone (its file could not be read).
    void clear(int n);

    // Changed since it was last written or loaded, as the note-set commands see it: New, Clear
    // and Open clear it, typing sets it.
    bool isChanged(int n) const;
    void setChanged(int n, bool changed);
    void setAllUnchanged();

    // The directory the notes' files are in; note n's file in it.
    QString directory() const { return m_directory; }
    void setDirectory(const QString &dir) { m_directory = dir; }
    QString path(int n) const;
    // A locked note's file is its plain file's name with ".gpg" added ("notes.rtf.gpg").
    QString plainPath(int n) const;
    bool isLockedFile(int n) const { return m_lockedFile[static_cast<size_t>(n - 1)]; }
    void setLockedFile(int n, bool locked) { m_lockedFile[static_cast<size_t>(n - 1)] = locked; }
    static QString lockedPath(const QString &plainPath) { return plainPath + QStringLiteral(".gpg"); }

    // The caption of note n's tab, for what the user is told.
    QString caption(int n) const;
    void setCaptions(std::function<QString(int n)> caption) { m_caption = std::move(caption); }

signals:
    // The content of note n's document changed (typed, or replaced by a command or a restore).
    void edited(int n);

private:
    void watch(int n);

    std::array<QTextDocument *, 7> m_documents{};
    std::array<rtf::ParagraphCache, 7> m_paragraphs;
    std::array<bool, 7> m_changed{};
    std::array<bool, 7> m_lockedFile{};
    std::function<void(int)> m_finishLoading;
    std::function<QString(int)> m_caption;
    QString m_directory;
};
