#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

#include <memory>

class Hunspell;

// One Hunspell dictionary together with the user's own words. Answers are cached per word, since
// a note repeats most of its words many times.
class SpellChecker final : public QObject
{
    Q_OBJECT
public:
    // An empty checker (no dictionary) accepts every word and suggests nothing.
    explicit SpellChecker(QObject *parent = nullptr);
    ~SpellChecker() override;

    // Loads the dictionary; false when its files cannot be read.
    bool open(const QString &affPath, const QString &dicPath);
    // The file of words the user added, one a line; read now and written on every addition.
    void setPersonalWordList(const QString &path);

    bool hasDictionary() const { return m_hunspell != nullptr; }
    bool isCorrect(const QString &word);
    // At most `max` suggestions, best first.
    QStringList suggestions(const QString &word, int max = 5);
    // Adds the word to the personal list: it is accepted from now on, also in later sessions.
    void addToDictionary(const QString &word);

    // The path of the personal word list in the per-user data directory.
    static QString defaultPersonalWordList();

signals:
    // The accepted words changed: underlines must be worked out again.
    void wordsChanged();

private:
    QByteArray encode(const QString &word) const;
    QString decode(const std::string &bytes) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_utf8 = true;
    QString m_personalPath;
    QHash<QString, bool> m_cache;
};
