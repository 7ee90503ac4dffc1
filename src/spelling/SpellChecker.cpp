#include "SpellChecker.h"

#include "ProgramPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <hunspell.hxx>

#include <algorithm>

Q_LOGGING_CATEGORY(lcSpelling, "quillbox.spelling")

SpellChecker::SpellChecker(QObject *parent) : QObject(parent) {}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::open(const QString &affPath, const QString &dicPath)
{
    if (!QFileInfo(affPath).isReadable() || !QFileInfo(dicPath).isReadable()) {
        qCInfo(lcSpelling) << "no readable dictionary at" << affPath;
        return false;
    }
    m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(affPath).constData(),
                                            QFile::encodeName(dicPath).constData());
    const QString encoding = QString::fromStdString(m_hunspell->get_dict_encoding()).toUpper();
    m_utf8 = encoding == QLatin1String("UTF-8") || encoding == QLatin1String("UTF8");
    m_cache.clear();
    // Words added earlier to the personal list count as soon as the dictionary is there.
    if (!m_personalPath.isEmpty())
        setPersonalWordList(m_personalPath);
    return true;
}

QByteArray SpellChecker::encode(const QString &word) const
{
    return m_utf8 ? word.toUtf8() : word.toLatin1();
}

QString SpellChecker::decode(const std::string &bytes) const
{
    return m_utf8 ? QString::fromStdString(bytes)
                  : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

void SpellChecker::setPersonalWordList(const QString &path)
{
    m_personalPath = path;
    if (!m_hunspell)
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QStringList words = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &word : words)
        m_hunspell->add(encode(word.trimmed()).toStdString());
    m_cache.clear();
}

bool SpellChecker::isCorrect(const QString &word)
{
    if (!m_hunspell || word.isEmpty())
        return true;
    const auto cached = m_cache.constFind(word);
    if (cached != m_cache.constEnd())
        return *cached;
    // A word the dictionary's encoding cannot hold is not the dictionary's business.
    const bool unencodable =
        !m_utf8 && std::any_of(word.begin(), word.end(), [](QChar c) { return c.unicode() > 0xFF; });
    const bool correct = unencodable || m_hunspell->spell(encode(word).toStdString());
    m_cache.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString &word, int max)
{
    QStringList result;
    if (!m_hunspell || word.isEmpty())
        return result;
    for (const std::string &s : m_hunspell->suggest(encode(word).toStdString())) {
        if (result.size() >= max)
            break;
        result << decode(s);
    }
    return result;
}

void SpellChecker::addToDictionary(const QString &word)
{
    const QString w = word.trimmed();
    if (w.isEmpty() || w.contains(QLatin1Char('\n')))
        return;
    if (m_hunspell)
        m_hunspell->add(encode(w).toStdString());
    m_cache.insert(w, true);
    if (!m_personalPath.isEmpty()) {
        QDir().mkpath(QFileInfo(m_personalPath).absolutePath());
        QFile file(m_personalPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            file.write(w.toUtf8() + '\n');
        else
            qCWarning(lcSpelling) << "personal word list not writable:" << m_personalPath;
    }
    emit wordsChanged();
}

QString SpellChecker::defaultPersonalWordList()
{
    return QDir(ProgramPlaces::userDataDirectory()).filePath(QStringLiteral("words.txt"));
}
