#include "SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <QHash>

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
        const bool blankOrComment =
            trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#');
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

// Opens the store for writing. A damaged file is kept beside it as "<name>.damaged" and replaced
// by what could be salvaged from it, so one bad line never makes every setting unwritable.
std::unique_ptr<QSettings> openForWrite(const QString &path)
{
    // QSettings shares parsed files between instances, so the status of a new instance on the
    // same path may not show damage until it writes. Judge the bytes on a scratch copy instead.
    const QByteArray raw = readAll(path);
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
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    QFile::remove(path + QStringLiteral(".damaged"));
    QFile::copy(path, path + QStringLiteral(".damaged"));
    QFile::setPermissions(path + QStringLiteral(".damaged"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(salvage(raw));
        out.commit();
    }
    qCWarning(lcSettings) << "settings file was damaged; the readable part was kept, the original saved as"
                          << path + QStringLiteral(".damaged");
    auto s = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (s->status() == QSettings::FormatError) {
        QFile::remove(path);
        s = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    return s;
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

// The file may hold the start-up password: create it owner-only before anything is written into
// it (the atomic rewrites keep the permissions of the file they replace).
void ensureOwnerOnlyFile(const QString &path)
{
    const QString dir = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(dir) && QDir().mkpath(dir))
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QFileInfo::exists(path))
        return;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool finish(QSettings &s, const QString &path)
{
    s.endGroup();
    s.sync();
    // The file may hold the start-up password: owner only. QSettings writes through QSaveFile,
    // so a crash during the write leaves the old file whole.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (s.status() != QSettings::NoError) {
        qCWarning(lcSettings) << "could not write settings file" << path;
        return false;
    }
    return true;
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
    ensureOwnerOnlyFile(m_path);
    auto s = openForWrite(m_path);
    s->beginGroup(QLatin1String(kGroup));
    keepHandWrittenValues(*s, m_path);
    for (const QString &k : s->childKeys()) {
        if (k != key && k.compare(key, Qt::CaseInsensitive) == 0)
            s->remove(k);
    }
    s->setValue(key, value);
    return finish(*s, m_path);
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
    auto s = openForWrite(m_path);
    s->beginGroup(QLatin1String(kGroup));
    keepHandWrittenValues(*s, m_path);
    for (const QString &k : s->childKeys()) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            s->remove(k);
    }
    return finish(*s, m_path);
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
