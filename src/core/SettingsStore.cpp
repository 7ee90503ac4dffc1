#include "SettingsStore.h"

#include "DurableFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <QHash>
#include <QMap>

#include <functional>

Q_LOGGING_CATEGORY(lcSettings, "quillbox.settings")

namespace {

constexpr auto kGroup = "Settings";

// QSettings reads a hand-written "a, b" as a list; join it back into the text the user wrote.
QString variantToText(const QVariant &v)
{
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

QString findKey(QSettings &s, const QString &key)
{
    const QStringList keys = s.childKeys();
    if (keys.contains(key))
        return key;
    for (const QString &k : keys) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return k;
    }
    return {};
}

// QSettings refuses a whole file when any of it cannot be parsed. Keep the lines that can be:
// valid UTF-8 without control characters, and no half-open section headers.
QByteArray salvage(const QByteArray &raw)
{
    QByteArray out;
    for (const QByteArray &line : raw.split('\n')) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(line);
        if (decoder.hasError())
            continue;
        bool clean = true;
        for (QChar c : text) {
            if (c.unicode() < 0x20 && c != u'\t' && c != u'\r') {
                clean = false;
                break;
            }
        }
        const QString trimmed = text.trimmed();
        const bool blankOrComment = trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#');
        const bool section = trimmed.startsWith(u'[') && trimmed.contains(u']');
        const bool entry = trimmed.contains(u'=') && !trimmed.startsWith(u'[') && !trimmed.startsWith(u']');
        if (!clean || !(blankOrComment || section || entry))
            continue;
        out += line;
        out += '\n';
    }
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Opens the store for reading; a damaged file is read through a salvaged copy.
std::unique_ptr<QSettings> openForRead(const QString &path, QTemporaryFile &scratch)
{
    auto s = std::make_unique<QSettings>(path, QSettings::IniFormat);
    s->childGroups();
    if (s->status() != QSettings::FormatError)
        return s;
    if (scratch.open()) {
        scratch.write(salvage(readAll(path)));
        scratch.close();
        s = std::make_unique<QSettings>(scratch.fileName(), QSettings::IniFormat);
    }
    return s;
}

// What the store holds when it is next written. A damaged file is kept beside it as
// "<name>.damaged" and replaced by what could be salvaged from it, so one bad line never makes
// every setting unwritable.
QByteArray startingBytes(const QString &path)
{
    const QByteArray raw = readAll(path);
    // QSettings shares parsed files between instances, so the status of a new instance on the
    // same path may not show damage until it writes. Judge the bytes on a scratch copy instead.
    bool damaged = false;
    if (!raw.isEmpty()) {
        QTemporaryFile probe;
        if (probe.open()) {
            probe.write(raw);
            probe.flush();
            probe.close();
            QSettings check(probe.fileName(), QSettings::IniFormat);
            check.allKeys();
            damaged = check.status() == QSettings::FormatError;
        }
    }
    if (!damaged)
        return raw;
    DurableFile::write(path + QStringLiteral(".damaged"), raw, DurableFile::Access::OwnerOnly);
    qCWarning(lcSettings) << "settings file was damaged; the readable part was kept, the original saved as"
                          << path + QStringLiteral(".damaged");
    return salvage(raw);
}

// A file beside the store for one step of a write; nobody else uses its name.
QString scratchBeside(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
           QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp");
}

bool putScratch(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) &&
           f.write(bytes) == bytes.size() && f.flush();
}

using Values = QMap<QString, QVariant>;
Values valuesOf(QSettings &s)
{
    Values all;
    for (const QString &key : s.allKeys())
        all.insert(key, s.value(key));
    return all;
}

// QSettings's own writes cannot tell a full disk (its atomic file renames a cut-off copy into
// place). So it edits a scratch copy, its bytes are checked by reading them back through another
// one, and only then do they replace the store, in full or not at all.
bool edit(const QString &path, const std::function<void(QSettings &)> &change)
{
    const QString dir = QFileInfo(path).absolutePath();
    // The file may hold the start-up password: its folder and the file are the owner's alone.
    if (!QFileInfo::exists(dir) && QDir().mkpath(dir))
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString scratch = scratchBeside(path);
    const QString check = scratchBeside(path);
    const auto cleanUp = qScopeGuard([&] {
        QFile::remove(scratch);
        QFile::remove(check);
    });
    if (!putScratch(scratch, startingBytes(path)))
        return false;
    Values wanted;
    {
        QSettings s(scratch, QSettings::IniFormat);
        s.beginGroup(QLatin1String(kGroup));
        change(s);
        s.endGroup();
        wanted = valuesOf(s);
        s.sync();
        if (s.status() != QSettings::NoError)
            return false;
    }
    const QByteArray bytes = readAll(scratch);
    if (!putScratch(check, bytes))
        return false;
    QSettings readBack(check, QSettings::IniFormat);
    if (readBack.status() != QSettings::NoError || valuesOf(readBack) != wanted)
        return false;
    const QFileInfo before(path);
    const QDateTime wasModified = before.lastModified();
    if (DurableFile::write(path, bytes, DurableFile::Access::OwnerOnly))
        return false;
    // QSettings takes a file of the same size and time (to the millisecond) for the one it read
    // before: a rewrite within that millisecond gets a later time, so readers see it.
    const QFileInfo after(path);
    if (before.exists() && after.size() == before.size() && after.lastModified() <= wasModified) {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(wasModified.addMSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

// A value typed into the file by hand without quotes may hold ';' or ',', which QSettings takes
// for a comment or a list separator. Values this program writes are always quoted when they hold
// either, so an unquoted raw line means a person wrote it: take its text as it stands.
QHash<QString, QString> scanHandWrittenValues(const QString &path)
{
    QHash<QString, QString> found; // lower-cased key -> raw text
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return found;
    bool inSection = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(QStringLiteral("[Settings]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inSection || eq <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString raw = line.mid(eq + 1).trimmed();
        if (!raw.startsWith(u'"') && !raw.contains(u'\\') && (raw.contains(u';') || raw.contains(u',')))
            found.insert(key, raw);
        else
            found.remove(key);
    }
    return found;
}

// The raw scan is remembered for as long as the file's size and time stay the same, the way
// QSettings keeps its own parse: reads happen on every repaint ("OnTop"), and a second pass
// over the file each time would double the work for nothing.
QHash<QString, QString> handWrittenValues(const QString &path)
{
    struct Scan
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QHash<QString, QString> values;
    };
    static Scan last;
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    if (last.path != path || last.size != info.size() || last.modified != info.lastModified()) {
        last.path = path;
        last.size = info.size();
        last.modified = info.lastModified();
        last.values = scanHandWrittenValues(path);
    }
    return last.values;
}

// Before QSettings rewrites the file, give hand-written values their full text back so the
// rewrite keeps them whole (quoted from then on).
void keepHandWrittenValues(QSettings &s, const QString &path)
{
    const auto raw = handWrittenValues(path);
    if (raw.isEmpty())
        return;
    for (const QString &k : s.childKeys()) {
        const auto it = raw.constFind(k.toLower());
        if (it != raw.cend())
            s.setValue(k, *it);
    }
}

bool written(bool ok)
{
    if (!ok)
        qCWarning(lcSettings) << "could not write the settings file; it is left as it was";
    return ok;
}

} // namespace

SettingsStore::SettingsStore() : m_path(defaultPath()) {}

SettingsStore::SettingsStore(QString iniPath) : m_path(std::move(iniPath)) {}

QString SettingsStore::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quillbox Plus/Quillbox Plus.ini");
}

QString SettingsStore::GetSettingValue(const QString &key) const
{
    if (!QFileInfo::exists(m_path))
        return {};
    QTemporaryFile scratch;
    auto s = openForRead(m_path, scratch);
    s->beginGroup(QLatin1String(kGroup));
    const QString found = findKey(*s, key);
    if (found.isEmpty())
        return {};
    const auto raw = handWrittenValues(m_path);
    if (const auto it = raw.constFind(found.toLower()); it != raw.cend())
        return *it;
    return variantToText(s->value(found));
}

bool SettingsStore::SaveSettingValue(const QString &key, const QString &value)
{
    return written(edit(m_path, [&](QSettings &s) {
        keepHandWrittenValues(s, m_path);
        for (const QString &k : s.childKeys()) {
            if (k != key && k.compare(key, Qt::CaseInsensitive) == 0)
                s.remove(k);
        }
        s.setValue(key, value);
    }));
}

bool SettingsStore::SaveSettingValue(const QString &key, int value)
{
    return SaveSettingValue(key, QString::number(value));
}

bool SettingsStore::SaveSettingValue(const QString &key, double value)
{
    return SaveSettingValue(key, shortestDecimal(value));
}

bool SettingsStore::DeleteSetting(const QString &key)
{
    if (!QFileInfo::exists(m_path))
        return true;
    return written(edit(m_path, [&](QSettings &s) {
        keepHandWrittenValues(s, m_path);
        for (const QString &k : s.childKeys()) {
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                s.remove(k);
        }
    }));
}

QStringList SettingsStore::keys() const
{
    QTemporaryFile scratch;
    auto s = openForRead(m_path, scratch);
    s->beginGroup(QLatin1String(kGroup));
    return s->childKeys();
}

QString shortestDecimal(double value)
{
    return QString::number(value, 'g', 15);
}
