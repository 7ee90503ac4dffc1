#include "SetupDialog.h"

#include "Dialogs.h"
#include "DirectoryChooser.h"
#include "HotKeySetting.h"
#include "IdleLockSetting.h"
#include "PreferencesTarget.h"
#include "StartupPassword.h"
#include "SyncthingFolder.h"
#include "TabDefaults.h"
#include "WrappedCaption.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr std::array<const char *, 7> kNameBoxes{"Text6",  "Text7",  "Text8", "Text9",
                                                 "Text10", "Text12", "Text13"};
constexpr std::array<const char *, 7> kShowBoxes{"Check13", "Check12", "Check11", "Check10",
                                                 "Check9",  "Check8",  "Check7"};

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *label(const QString &text, const char *name, const char *colour = nullptr)
{
    auto *l = named(new QLabel(text), name);
    l->setWordWrap(text.size() > 30); // sentences wrap, short captions stay on one line
    if (colour)
        l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    return l;
}

// The boxes the user fills only through a "..." button or a directory choice: grey and read-only.
QLineEdit *readOnlyBox(const char *name, bool tabStop)
{
    auto *box = named(new QLineEdit, name);
    box->setReadOnly(true);
    if (!tabStop)
        box->setFocusPolicy(Qt::NoFocus);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    box->setPalette(grey);
    return box;
}

// A label that names the field beside it, for the access key and for screen readers.
QLabel *labelFor(const QString &text, const char *name, QWidget *field, const char *colour = nullptr)
{
    QLabel *l = label(text, name, colour);
    l->setBuddy(field);
    field->setAccessibleName(QString(text).remove(u'&'));
    return l;
}

// The hot key box leaves Enter, Esc and Tab to the dialog, so that they apply, cancel and move
// on there as everywhere else instead of becoming a hot key that is then refused.
class HotKeyEdit final : public QKeySequenceEdit
{
public:
    HotKeyEdit()
    {
        setClearButtonEnabled(true); // cleared: no hot key
        // The text field inside Qt's box takes the focus, so it is what a screen reader reads out;
        // its clear button shows only a cross.
        setAccessibleName(QStringLiteral("Global Hot Key"));
        if (auto *field = findChild<QLineEdit *>()) {
            field->setAccessibleName(accessibleName());
            for (auto *clear : field->findChildren<QToolButton *>()) {
                clear->setAccessibleName(QStringLiteral("Clear the hot key"));
                clear->setToolTip(QStringLiteral("Clear: no hot key"));
            }
        }
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        // Qt's box empties itself at a lone Shift, Ctrl or Alt; the key is recorded from the
        // whole combination anyway, and Shift+Tab must leave the hot key as it was.
        const int key = event->key();
        const bool modifierAlone = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                                   key == Qt::Key_Meta || key == Qt::Key_AltGr;
        if (modifierAlone || HotKeySetting::isDialogKey(event->keyCombination())) {
            event->ignore();
            return;
        }
        QKeySequenceEdit::keyPressEvent(event);
    }
};

QPushButton *button(const QString &text, const char *name, const QString &tip = {})
{
    auto *b = named(new QPushButton(text), name);
    b->setAutoDefault(false);
    // The small "..." and "X" buttons stay small beside their boxes.
    if (text.size() <= 3)
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

} // namespace

SetupDialog::SetupDialog(SettingsStore &settings, Launcher *launcher,
                         std::shared_ptr<PreferencesTarget> target, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_target(std::move(target))
{
    setObjectName(QStringLiteral("SetupDialog"));
    setWindowTitle(QStringLiteral("Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto *apply = button(QStringLiteral("&Apply"), "Command1");
    apply->setDefault(true);
    auto *cancel = button(QStringLiteral("&Cancel"), "Command2");
    connect(apply, &QPushButton::clicked, this, &SetupDialog::applyClicked);
    connect(cancel, &QPushButton::clicked, this, &SetupDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *left = new QVBoxLayout;
    left->addWidget(buildInternetFrame());
    left->addWidget(buildGeneralFrame());
    left->addWidget(buildPasswordFrame());
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(buildTabFrame());
    right->addWidget(buildNetworkFrame(), 1);
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fill(Preferences::read(m_settings, launcher));
}

QGroupBox *SetupDialog::buildInternetFrame()
{
    auto *frame = named(new QGroupBox(QStringLiteral("Internet Settings")), "FrameInternet");
    m_check2 = named(new QCheckBox(QStringLiteral("&Use the desktop's default web browser and mail program")),
                     "Check2");
    m_check2->setStyleSheet(QStringLiteral("color: red;"));
    auto *rule = named(new QFrame, "Line1");
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_text1 = readOnlyBox("Text1", false);
    m_command3 = button(QStringLiteral("..."), "Command3");
    m_text2 = readOnlyBox("Text2", false);
    m_command4 = button(QStringLiteral("..."), "Command4");
    m_text3 = named(new QLineEdit, "Text3");
    m_text3->setFixedWidth(65); // 975 twips: room for a few switches, the recipient follows
    auto *text4 = readOnlyBox("Text4", false);
    text4->setText(QStringLiteral("+ recipient you click"));
    text4->setAccessibleName(QStringLiteral("After the options"));
    m_command3->setAccessibleName(QStringLiteral("Browse for your web browser"));
    m_command4->setAccessibleName(QStringLiteral("Browse for your e-mail reader"));

    auto *grid = new QGridLayout(frame);
    int row = 0;
    grid->addWidget(m_check2, row++, 0, 1, 3);
    grid->addWidget(
        label(QStringLiteral("By selecting this option you don't need to specify any of the other "
                             "options listed below."),
              "Label6"),
        row++, 0, 1, 3);
    grid->addWidget(rule, row++, 0, 1, 3);
    grid->addWidget(
        label(QStringLiteral("Click the button to the right of each box to select..."), "Label4", "blue"),
        row++, 0, 1, 3);
    grid->addWidget(labelFor(QStringLiteral("Your Web Browser:"), "Label1", m_text1), row++, 0, 1, 3);
    grid->addWidget(m_text1, row, 0, 1, 2);
    grid->addWidget(m_command3, row++, 2);
    grid->addWidget(labelFor(QStringLiteral("Your E-Mail Reader"), "Label2", m_text2), row++, 0, 1, 3);
    grid->addWidget(m_text2, row, 0, 1, 2);
    grid->addWidget(m_command4, row++, 2);
    grid->addWidget(labelFor(QStringLiteral("Command Line Options for E-mail Reader to create new messages:"),
                             "Label3", m_text3),
                    row++, 0, 1, 3);
    grid->addWidget(m_text3, row, 0);
    grid->addWidget(text4, row++, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Not needed for most mail programs"), "Label5", "darkblue"), row++,
                    0, 1, 3);

    // The desktop's handlers need neither program nor options.
    connect(m_check2, &QCheckBox::toggled, this, [this](bool ticked) {
        m_command3->setEnabled(!ticked);
        m_command4->setEnabled(!ticked);
        m_text3->setEnabled(!ticked);
    });
    connect(m_command3, &QPushButton::clicked, this, [this] { pickProgram(m_text1); });
    connect(m_command4, &QPushButton::clicked, this, [this] { pickProgram(m_text2); });
    return frame;
}

QGroupBox *SetupDialog::buildGeneralFrame()
{
    auto *frame = named(new QGroupBox(QStringLiteral("General Preferences")), "FrameGeneral");
    m_check4 = named(new QCheckBox(QStringLiteral("&Turn Off Sounds")), "Check4");
    m_check1 = named(new QCheckBox(QStringLiteral("&Start Quillbox Plus Minimized")), "Check1");
    m_check3 = named(new QCheckBox(QStringLiteral("&No Splash Screen")), "Check3");
    m_check5 = named(new QCheckBox(QStringLiteral("Show in Task&Bar When Minimized")), "Check5");
    m_check6 = named(new QCheckBox, "Check6");
    auto *check6Caption = new WrappedCaption(QStringLiteral("&Hide Application Buttons and Menu"), m_check6);
    check6Caption->setObjectName(QStringLiteral("Check6Caption"));
    m_text5 = readOnlyBox("Text5", true);
    auto *command5 = button(QStringLiteral("..."), "Command5", QStringLiteral("Select Alternate Dialer"));
    auto *command6 =
        button(QStringLiteral("X"), "Command6", QStringLiteral("Clear: use the desktop's phone handler"));
    command5->setAccessibleName(QStringLiteral("Browse for a dialer"));
    command6->setAccessibleName(QStringLiteral("Clear the dialer"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(m_check4, 0, 0);
    grid->addWidget(m_check1, 1, 0);
    grid->addWidget(m_check3, 2, 0);
    grid->addWidget(m_check5, 3, 0);
    auto *check6Row = new QHBoxLayout;
    check6Row->addWidget(m_check6, 0, Qt::AlignTop);
    check6Row->addWidget(check6Caption, 1, Qt::AlignTop);
    grid->addLayout(check6Row, 0, 1, 2, 3, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->addWidget(
        labelFor(QStringLiteral("Use a dialer other than the desktop's phone handler?"), "Label7", m_text5),
        4, 0, 1, 4);
    grid->addWidget(m_text5, 5, 0, 1, 2);
    grid->addWidget(command5, 5, 2);
    grid->addWidget(command6, 5, 3);
    m_startAtLogin = named(new QCheckBox(QStringLiteral("Start Quillbox Plus when I &log in")), "CheckLogin");
    grid->addWidget(m_startAtLogin, 6, 0, 1, 4);
    m_hotKey = named(new HotKeyEdit, "HotKeyEdit");
    auto *hotKeyLabel = label(QStringLiteral("Global Hot &Key:"), "LabelHotKey");
    hotKeyLabel->setBuddy(m_hotKey);
    grid->addWidget(hotKeyLabel, 7, 0);
    grid->addWidget(m_hotKey, 7, 1, 1, 3);

    // One key combination, not a sequence of them: recording ends with the first one, so the
    // next Enter applies the dialog instead of becoming part of the key.
    connect(m_hotKey, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence &keys) {
        if (keys.count() > 1)
            m_hotKey->setKeySequence(QKeySequence(keys[0]));
        if (!keys.isEmpty() && m_hotKey->hasFocus())
            QTimer::singleShot(0, m_hotKey, [this] { m_hotKey->clearFocus(); });
    });
    connect(command5, &QPushButton::clicked, this, [this] { pickProgram(m_text5); });
    connect(command6, &QPushButton::clicked, m_text5, &QLineEdit::clear);
    return frame;
}

QGroupBox *SetupDialog::buildPasswordFrame()
{
    auto *frame = named(new QGroupBox(QStringLiteral("Password Protect Quillbox Plus")), "FramePassword");
    // Both boxes are masked for anyone looking at the screen (and read as password boxes by a
    // screen reader); "Show" lets the user check for a typing error before it locks the notes.
    m_text14 = named(new QLineEdit, "Text14");
    m_text15 = named(new QLineEdit, "Text15");
    auto *show = named(new QCheckBox(QStringLiteral("Sho&w")), "ShowPassword");
    show->setAccessibleName(QStringLiteral("Show the password"));
    for (QLineEdit *box : {m_text14, m_text15}) {
        box->setEchoMode(QLineEdit::Password);
        connect(show, &QCheckBox::toggled, box,
                [box](bool shown) { box->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    }
    auto *command11 = button(QStringLiteral("&Remove Password"), "Command11");
    // The boxes never show the stored password, so this says whether there is one.
    m_passwordStatus = label(QString(), "PasswordStatus");

    auto *grid = new QGridLayout(frame);
    grid->addWidget(labelFor(QStringLiteral("Password:"), "Label18", m_text14), 0, 0);
    grid->addWidget(m_text14, 0, 1);
    grid->addWidget(labelFor(QStringLiteral("Confirm Password:"), "Label19", m_text15), 1, 0);
    grid->addWidget(m_text15, 1, 1);
    grid->addWidget(command11, 0, 2);
    grid->addWidget(show, 1, 2);
    grid->addWidget(m_passwordStatus, 2, 0, 1, 3);

    // Locked notes that the user unlocked lock again when the desk is left alone.
    m_lockAfter = named(new QSpinBox, "LockAfterMinutes");
    m_lockAfter->setRange(0, IdleLockSetting::MaximumMinutes);
    m_lockAfter->setSuffix(QStringLiteral(" min"));
    m_lockAfter->setSpecialValueText(QStringLiteral("Never"));
    grid->addWidget(
        labelFor(QStringLiteral("Lock locked notes after no &input for:"), "LabelLockAfter", m_lockAfter), 3,
        0, 1, 2);
    grid->addWidget(m_lockAfter, 3, 2);

    connect(command11, &QPushButton::clicked, this, &SetupDialog::removePasswordClicked);
    return frame;
}

QGroupBox *SetupDialog::buildTabFrame()
{
    auto *frame = named(new QGroupBox(QStringLiteral("Tab Preferences")), "FrameTabs");
    auto *grid = new QGridLayout(frame);
    auto *show = label(QStringLiteral("Show"), "Label17");
    QFont small = show->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    show->setFont(small);
    grid->addWidget(show, 0, 2, Qt::AlignCenter);

    for (int n = 1; n <= TabDefaults::count; ++n) {
        auto *name = named(new QLineEdit, kNameBoxes[n - 1]);
        name->setMaxLength(20);
        auto *shown = named(new QCheckBox, kShowBoxes[n - 1]);
        shown->setToolTip(QStringLiteral("Show tab %1").arg(n));
        shown->setAccessibleName(QStringLiteral("Show tab %1").arg(n));
        m_tabNames[n - 1] = name;
        m_tabShown[n - 1] = shown;
        grid->addWidget(labelFor(TabDefaults::rowLabel(n), "", name), n, 0);
        grid->addWidget(name, n, 1);
        grid->addWidget(shown, n, 2, Qt::AlignCenter);
    }
    auto *reset = button(QStringLiteral("&Reset Tab Names"), "Command7");
    grid->addWidget(reset, TabDefaults::count + 1, 0, 1, 3, Qt::AlignHCenter);

    connect(reset, &QPushButton::clicked, this, [this] {
        PreferenceValues v = values();
        Preferences::resetTabs(v);
        fillTabs(v);
    });
    return frame;
}

QGroupBox *SetupDialog::buildNetworkFrame()
{
    auto *frame = named(new QGroupBox(QStringLiteral("Network Settings")), "FrameNetwork");
    m_text11 = readOnlyBox("Text11", true);
    // Someone choosing a folder that a sync program shares learns that the notes travel with it.
    auto *syncHint = label(QStringLiteral("This folder is kept in sync by Syncthing"), "SyncthingHint");
    syncHint->setVisible(false);
    connect(m_text11, &QLineEdit::textChanged, syncHint,
            [syncHint](const QString &dir) { syncHint->setVisible(!syncthingFolderAbove(dir).isEmpty()); });
    m_dir1 = named(new DirectoryChooser, "DirectoryChooser");
    m_dir1->setMinimumHeight(140);
    auto *command9 = button(QStringLiteral("&Set Network Path"), "Command9");
    auto *command8 = button(QStringLiteral("&Clear Network Path"), "Command8");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(command9);
    buttons->addWidget(command8);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(labelFor(QStringLiteral("Store Notes on Network"), "Label14", m_text11));
    layout->addWidget(m_text11);
    layout->addWidget(syncHint);
    layout->addWidget(m_dir1, 1);
    layout->addLayout(buttons);

    connect(command9, &QPushButton::clicked, this, [this] {
        const QString dir = m_dir1->currentPath();
        if (!dir.isEmpty())
            m_text11->setText(dir);
    });
    connect(command8, &QPushButton::clicked, m_text11, &QLineEdit::clear);
    return frame;
}

void SetupDialog::fill(const PreferenceValues &v)
{
    m_check2->setChecked(v.useSystemHandlers);
    m_text1->setText(v.browser);
    m_text2->setText(v.email);
    m_text3->setText(v.emailOptions);
    m_check4->setChecked(v.noSound);
    m_check1->setChecked(v.startMinimized);
    m_check3->setChecked(v.noSplash);
    m_check5->setChecked(v.showInTaskBar);
    m_check6->setChecked(v.hideLaunchCommands);
    m_text5->setText(v.dialer);
    m_startAtLogin->setChecked(v.startAtLogin);
    m_hotKey->setKeySequence(QKeySequence::fromString(v.hotKey, QKeySequence::PortableText));
    m_lockAfter->setValue(v.lockAfterMinutes);
    fillTabs(v);
    m_text11->setText(v.noteDirectory);
    if (!m_dir1->setCurrentPath(v.noteDirectory.trimmed()))
        m_dir1->setCurrentPath(QDir::homePath());
    // The stored password is never shown.
    m_text14->clear();
    m_text15->clear();
    showPasswordStatus();
}

void SetupDialog::showPasswordStatus()
{
    m_passwordStatus->setText(startupPasswordSet(m_settings) ? QStringLiteral("A start-up password is set.")
                                                             : QStringLiteral("No start-up password."));
}

void SetupDialog::fillTabs(const PreferenceValues &v)
{
    for (int i = 0; i < TabDefaults::count; ++i) {
        m_tabNames[i]->setText(v.tabNames[i]);
        m_tabShown[i]->setChecked(v.tabShown[i]);
    }
}

PreferenceValues SetupDialog::values() const
{
    PreferenceValues v;
    v.useSystemHandlers = m_check2->isChecked();
    v.browser = m_text1->text();
    v.email = m_text2->text();
    v.emailOptions = m_text3->text();
    v.noSound = m_check4->isChecked();
    v.startMinimized = m_check1->isChecked();
    v.noSplash = m_check3->isChecked();
    v.showInTaskBar = m_check5->isChecked();
    v.hideLaunchCommands = m_check6->isChecked();
    v.dialer = m_text5->text();
    for (int i = 0; i < TabDefaults::count; ++i) {
        v.tabNames[i] = m_tabNames[i]->text();
        v.tabShown[i] = m_tabShown[i]->isChecked();
    }
    v.noteDirectory = m_text11->text();
    v.password = m_text14->text();
    v.confirmation = m_text15->text();
    v.startAtLogin = m_startAtLogin->isChecked();
    v.hotKey = m_hotKey->keySequence().toString(QKeySequence::PortableText);
    v.lockAfterMinutes = m_lockAfter->value();
    return v;
}

void SetupDialog::pickProgram(QLineEdit *box)
{
    // Start where the current program lies, found on the search path when only its name is given.
    QString current = box->text().trimmed();
    if (!current.isEmpty() && !current.contains(u'/'))
        current = QStandardPaths::findExecutable(current);
    const QFileInfo info(current);
    const QString dir = info.exists() ? info.absolutePath() : QString();

    const QString chosen = Dialogs::openFileName(this, QStringLiteral("Select Your Program"), dir,
                                                 QStringLiteral("Programs (*)"));
    if (!chosen.isEmpty())
        box->setText(chosen);
}

void SetupDialog::applyClicked()
{
    if (!m_target)
        return;
    const Preferences::ApplyResult result = Preferences::apply(values(), m_settings, *m_target, this);
    showPasswordStatus(); // set, or taken away by a confirmation that did not match
    switch (result) {
    case Preferences::ApplyResult::Done:
        close();
        break;
    case Preferences::ApplyResult::PasswordMismatch:
        m_text14->clear();
        m_text15->clear();
        m_text14->setFocus();
        break;
    case Preferences::ApplyResult::PasswordNotSaved:
        break;
    case Preferences::ApplyResult::NoteDirectoryKept:
        m_dir1->setFocus();
        break;
    }
}

void SetupDialog::removePasswordClicked()
{
    m_text14->clear();
    m_text15->clear();
    Preferences::removePassword(m_settings);
    showPasswordStatus();
}
